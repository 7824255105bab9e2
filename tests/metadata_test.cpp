// SPDX-License-Identifier: MIT
// Metadata from picture files to written files: a camera's maker note
// laid out anew in every format that holds it, and damaged blocks left
// behind and named once. Outputs are read back with exiv2, and checked
// with exiftool where it is installed.
#include "deep_pictures.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const std::string& name)
{
    const fs::path folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "metadata" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string Bytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void PutBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The EXIF a written file holds, as exiv2 reads it; a PNG file's from its eXIf chunk.
Exiv2::ExifData ExifOf(const fs::path& path)
{
    const std::string bytes = Bytes(path);
    Exiv2::ExifData exifData;
    if (path.extension() == ".png") {
        const std::size_t type = bytes.find("eXIf");
        if (type == std::string::npos || type < 4)
            return exifData;
        const auto* length = reinterpret_cast<const uint8_t*>(bytes.data() + type - 4);
        const uint32_t size = uint32_t{length[0]} << 24 | uint32_t{length[1]} << 16 | uint32_t{length[2]} << 8 | length[3];
        Exiv2::ExifParser::decode(exifData, reinterpret_cast<const Exiv2::byte*>(bytes.data() + type + 4), size);
        return exifData;
    }
    std::unique_ptr<Exiv2::Image> image = Exiv2::ImageFactory::open(path.string());
    image->readMetadata();
    return image->exifData();
}

std::string Text(const Exiv2::ExifData& exifData, const char* key)
{
    const auto found = exifData.findKey(Exiv2::ExifKey(key));
    return found != exifData.end() ? found->toString() : std::string();
}

// exiftool's findings on the file, one a line, those about tags the file
// lacks left out; empty when exiftool is not installed.
std::string ExiftoolFindings(const fs::path& path)
{
    const std::string command = "exiftool -q -q -validate -warning -a -s3 '" + path.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string findings;
    std::array<char, 512> line{};
    while (pipe && std::fgets(line.data(), line.size(), pipe.get()) != nullptr)
        if (std::strstr(line.data(), "Missing required") == nullptr && std::strcmp(line.data(), "OK\n") != 0 &&
            std::strstr(line.data(), " Warning") == nullptr)
            findings += line.data();
    return findings;
}

bool HaveExiftool()
{
    return std::system("exiftool -ver >/dev/null 2>&1") == 0;
}

long Count(const std::vector<std::string>& names, const std::string& name)
{
    return std::count(names.begin(), names.end(), name);
}

} // namespace

// A Canon maker note holds offsets from the start of the EXIF block, so
// moving its bytes breaks it: it is laid out anew, whole and readable.
TEST(Metadata, ACamerasMakerNoteReachesJpegTiffAndPngFiles)
{
    const LoadedPicture photo = LoadPicture(QUENLO_TEST_DATA_DIR "/maker_note.jpg");
    ASSERT_TRUE(photo) << photo.error;
    const fs::path folder = FreshFolder("maker_note");
    for (const char* name : {"photo.jpg", "photo.tif", "photo.png"}) {
        const fs::path path = folder / name;
        std::string error;
        WrittenPicture written;
        ASSERT_TRUE(WritePicture(photo.bitmap.get(), path.string(), error, {}, &written)) << error;
        EXPECT_EQ(Count(written.notWritten, "maker notes"), 0) << name;
        const Exiv2::ExifData exifData = ExifOf(path);
        EXPECT_EQ(Text(exifData, "Exif.Canon.OwnerName"), "Quenlo Tester") << name;
        EXPECT_EQ(Text(exifData, "Exif.Canon.FirmwareVersion"), "Firmware Version 1.0.7") << name;
        EXPECT_EQ(Text(exifData, "Exif.Photo.DateTimeOriginal"), "2024:05:06 07:08:09") << name;
        EXPECT_EQ(Text(exifData, "Exif.Image.Model"), "Canon EOS 5D") << name;
        if (HaveExiftool()) {
            EXPECT_EQ(ExiftoolFindings(path), "") << name;
        }
        // And read again, as the program reads it, the note is still there.
        const LoadedPicture back = LoadPicture(path);
        ASSERT_TRUE(back) << back.error;
        EXPECT_NE(TagTextById(back.bitmap.get(), FIMD_EXIF_EXIF, 0x927C), "") << name;
    }
}

// A broken GPS directory offset: the rest of the EXIF goes on, GPS is
// named once as damaged, and nothing broken reaches the output.
TEST(Metadata, ADamagedGpsDirectoryIsLeftBehindAndNamedOnce)
{
    std::string bytes = Bytes(QUENLO_TEST_DATA_DIR "/maker_note.jpg");
    // The GPS pointer entry of the first directory (little-endian): tag 0x8825, type LONG, count 1.
    const std::string entry("\x25\x88\x04\x00\x01\x00\x00\x00", 8);
    const std::size_t at = bytes.find(entry);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + 8, 4, std::string("\xF0\xFF\x00\x00", 4));
    const fs::path folder = FreshFolder("damaged_gps");
    PutBytes(folder / "in.jpg", bytes);

    const LoadedPicture photo = LoadPicture(folder / "in.jpg");
    ASSERT_TRUE(photo) << photo.error;
    EXPECT_EQ(TagTextById(photo.bitmap.get(), FIMD_EXIF_GPS, 0x0001), "");
    EXPECT_EQ(TagTextById(photo.bitmap.get(), FIMD_EXIF_MAIN, 0x0110), "Canon EOS 5D");
    const fs::path out = folder / "out.jpg";
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(photo.bitmap.get(), out.string(), error, {}, &written)) << error;
    EXPECT_EQ(written.notWritten, (std::vector<std::string>{"EXIF GPS directory (damaged)"}));
    const Exiv2::ExifData exifData = ExifOf(out);
    EXPECT_EQ(Text(exifData, "Exif.Canon.OwnerName"), "Quenlo Tester");
    EXPECT_EQ(exifData.findKey(Exiv2::ExifKey("Exif.Image.GPSTag")), exifData.end());
    if (HaveExiftool()) {
        EXPECT_EQ(ExiftoolFindings(out), "");
    }
}

// An XMP packet that is not well-formed stays behind, named once, while
// the picture's other metadata goes on.
TEST(Metadata, ABrokenXmpPacketIsLeftBehindAndNamedOnce)
{
    const BitmapPtr picture(FreeImage_Allocate(8, 8, 24));
    AddPhotoMetadata(picture.get());
    // The test profile is a bare header, which exiftool flags on its own.
    FreeImage_DestroyICCProfile(picture.get());
    FreeImage_SetMetadataKeyValue(FIMD_XMP, picture.get(), "XMLPacket", "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF");
    const fs::path folder = FreshFolder("broken_xmp");
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, picture.get(), (folder / "in.png").c_str()));

    const LoadedPicture photo = LoadPicture(folder / "in.png");
    ASSERT_TRUE(photo) << photo.error;
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_XMP, photo.bitmap.get()), 0u);
    for (const char* name : {"out.png", "out.jpg"}) {
        const fs::path out = folder / name;
        std::string error;
        WrittenPicture written;
        ASSERT_TRUE(WritePicture(photo.bitmap.get(), out.string(), error, {}, &written)) << error;
        EXPECT_EQ(Count(written.notWritten, "XMP (damaged)"), 1) << name;
        EXPECT_EQ(Bytes(out).find("rdf:RDF"), std::string::npos) << name;
        if (HaveExiftool()) {
            EXPECT_EQ(ExiftoolFindings(out), "") << name;
        }
    }
}

// A PNG text chunk that claims to hold an IPTC profile but holds none that
// can be read goes no further, as text or as IPTC, and is named once.
TEST(Metadata, ADamagedIptcProfileInAPngTextChunkIsLeftBehind)
{
    const BitmapPtr picture(FreeImage_Allocate(8, 8, 24));
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, picture.get(), "Raw profile type iptc", "\niptc\n      40\n1c0250zz");
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, picture.get(), "Title", "kept");
    const fs::path folder = FreshFolder("broken_iptc");
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, picture.get(), (folder / "in.png").c_str()));

    const LoadedPicture photo = LoadPicture(folder / "in.png");
    ASSERT_TRUE(photo) << photo.error;
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_IPTC, photo.bitmap.get()), 0u);
    const fs::path out = folder / "out.png";
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(photo.bitmap.get(), out.string(), error, {}, &written)) << error;
    EXPECT_EQ(written.notWritten, (std::vector<std::string>{"IPTC (damaged)"}));
    const std::string bytes = Bytes(out);
    EXPECT_EQ(bytes.find("Raw profile type"), std::string::npos);
    EXPECT_NE(bytes.find("kept"), std::string::npos);
    if (HaveExiftool()) {
        EXPECT_EQ(ExiftoolFindings(out), "");
    }
}

// A first directory whose entry count runs past the block would read its
// entries from whatever follows: none of it goes on, and it is named once.
TEST(Metadata, ADirectoryCountedPastItsBlockIsLeftBehindWhole)
{
    std::string bytes = Bytes(QUENLO_TEST_DATA_DIR "/maker_note.jpg");
    const std::string header("Exif\0\0II*\0\x08\0\0\0", 14);
    const std::size_t at = bytes.find(header);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at + header.size(), 2, std::string("\x00\x01", 2)); // 256 entries
    const fs::path folder = FreshFolder("miscounted");
    PutBytes(folder / "in.jpg", bytes);

    const LoadedPicture photo = LoadPicture(folder / "in.jpg");
    ASSERT_TRUE(photo) << photo.error;
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, photo.bitmap.get()), 0u);
    const fs::path out = folder / "out.jpg";
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(photo.bitmap.get(), out.string(), error, {}, &written)) << error;
    EXPECT_EQ(Count(written.notWritten, "EXIF directory (damaged)"), 1);
    if (HaveExiftool()) {
        EXPECT_EQ(ExiftoolFindings(out), "");
    }
}
