// SPDX-License-Identifier: MIT
// EXIF and IPTC written where FreeImage writes none: EXIF blocks laid out
// from the metadata models, and TIFF files given the directories their
// writer left out. Read back through FreeImage and through the loader.
#include "deep_pictures.h"
#include "metadata/exif_models.h"
#include "metadata/metadata_tags.h"
#include "metadata/metadata_writer.h"
#include "picture/picture_loader.h"
#include "picture/picture_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const std::string& name)
{
    const fs::path folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "exif_writing" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void SetTag(FIBITMAP* picture, FREE_IMAGE_MDMODEL model, WORD id, FREE_IMAGE_MDTYPE type, DWORD count,
            const void* value, DWORD length)
{
    FITAG* tag = FreeImage_CreateTag();
    const std::string key = "tag" + std::to_string(id);
    FreeImage_SetTagKey(tag, key.c_str());
    FreeImage_SetTagID(tag, id);
    FreeImage_SetTagType(tag, type);
    FreeImage_SetTagCount(tag, count);
    FreeImage_SetTagLength(tag, length);
    FreeImage_SetTagValue(tag, value);
    FreeImage_SetMetadata(model, picture, key.c_str(), tag);
    FreeImage_DeleteTag(tag);
}


std::vector<uint8_t> Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void PutBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

bool AddToFile(const std::string& path, FIBITMAP* metadata)
{
    const int fd = open(path.c_str(), O_RDWR);
    std::string error;
    std::vector<std::string> notWritten;
    const bool added = fd >= 0 && AddMetadataToFile(fd, FIF_TIFF, metadata, metadata, notWritten, error);
    if (fd >= 0)
        close(fd);
    EXPECT_EQ(error, "");
    return added;
}

// A 3 x 2 RGB big-endian TIFF, uncompressed, with its Software text out of
// line and Orientation 1, as another program would write it.
std::vector<uint8_t> BigEndianTiff()
{
    std::vector<uint8_t> file{'M', 'M', 0, 42, 0, 0, 0, 8};
    const auto put16 = [&](uint16_t v) { file.insert(file.end(), {uint8_t(v >> 8), uint8_t(v)}); };
    const auto put32 = [&](uint32_t v) { put16(uint16_t(v >> 16)); put16(uint16_t(v)); };
    const auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        put16(tag);
        put16(type);
        put32(count);
        if (type == 3 && count == 1) {
            put16(uint16_t(value));
            put16(0);
        } else {
            put32(value);
        }
    };
    constexpr uint32_t Entries = 11;
    constexpr uint32_t ValuesAt = 8 + 2 + 12 * Entries + 4;
    put16(Entries);
    entry(256, 3, 1, 3);
    entry(257, 3, 1, 2);
    entry(258, 3, 3, ValuesAt);
    entry(259, 3, 1, 1);
    entry(262, 3, 1, 2);
    entry(273, 4, 1, ValuesAt + 6 + 12);
    entry(274, 3, 1, 1);
    entry(277, 3, 1, 3);
    entry(278, 3, 1, 2);
    entry(279, 4, 1, 18);
    entry(305, 2, 12, ValuesAt + 6);
    put32(0);
    put16(8);
    put16(8);
    put16(8);
    for (char c : std::string("Other tool\0\0", 12))
        file.push_back(static_cast<uint8_t>(c));
    for (int i = 0; i < 18; ++i)
        file.push_back(static_cast<uint8_t>(i * 13));
    return file;
}

} // namespace

// Text without its zero, rational arrays, values longer than an entry,
// tags a directory cannot hold and the pixel layout: each written exactly
// or left out, in a block FreeImage's own EXIF reader takes.
TEST(ExifBlock, OddTagsAreWrittenExactlyOrLeftOut)
{
    const BitmapPtr picture(FreeImage_Allocate(8, 8, 24));
    const DWORD width = 8;
    SetTag(picture.get(), FIMD_EXIF_MAIN, 0x0100, FIDT_LONG, 1, &width, 4);
    const uint64_t big = 1;
    SetTag(picture.get(), FIMD_EXIF_MAIN, 0x0131, FIDT_LONG8, 1, &big, 8);
    SetTag(picture.get(), FIMD_EXIF_MAIN, 0x010F, FIDT_ASCII, 6, "Quenlo", 6);
    const WORD orientation = 8;
    SetTag(picture.get(), FIMD_EXIF_MAIN, 0x0112, FIDT_SHORT, 1, &orientation, 2);
    const WORD shortOfCount[1] = {5};
    SetTag(picture.get(), FIMD_EXIF_MAIN, 0x0128, FIDT_SHORT, 2, shortOfCount, 2);
    const DWORD exposure[2] = {1, 250};
    SetTag(picture.get(), FIMD_EXIF_EXIF, 0x829A, FIDT_RATIONAL, 1, exposure, 8);
    const WORD iso[2] = {100, 200};
    SetTag(picture.get(), FIMD_EXIF_EXIF, 0x8827, FIDT_SHORT, 2, iso, 4);
    const BYTE comment[12] = {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'e', 'y', '!'};
    SetTag(picture.get(), FIMD_EXIF_EXIF, 0x9286, FIDT_UNDEFINED, 12, comment, 12);
    SetTag(picture.get(), FIMD_EXIF_EXIF, MakerNoteTag, FIDT_UNDEFINED, 8, "MAKERNTE", 8);
    const DWORD latitude[6] = {48, 1, 51, 1, 3075, 100};
    SetTag(picture.get(), FIMD_EXIF_GPS, 0x0002, FIDT_RATIONAL, 3, latitude, 24);
    SetTag(picture.get(), FIMD_EXIF_INTEROP, 0x0001, FIDT_ASCII, 4, "R98", 4);

    const fs::path folder = FreshFolder("odd_tags");
    const std::string jpeg = (folder / "odd.jpg").string();
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(picture.get(), jpeg, error, {}, &written)) << error;
    const LoadedPicture back = LoadPicture(jpeg);
    ASSERT_TRUE(back) << back.error;
    FITAG* make = TagById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x010F);
    ASSERT_NE(make, nullptr);
    EXPECT_EQ(FreeImage_GetTagCount(make), 7u);
    EXPECT_EQ(std::string(static_cast<const char*>(FreeImage_GetTagValue(make)), 7), std::string("Quenlo\0", 7));
    FITAG* latitudeBack = TagById(back.bitmap.get(), FIMD_EXIF_GPS, 0x0002);
    ASSERT_NE(latitudeBack, nullptr);
    EXPECT_EQ(FreeImage_GetTagType(latitudeBack), FIDT_RATIONAL);
    EXPECT_EQ(std::memcmp(FreeImage_GetTagValue(latitudeBack), latitude, sizeof latitude), 0);
    FITAG* commentBack = TagById(back.bitmap.get(), FIMD_EXIF_EXIF, 0x9286);
    ASSERT_NE(commentBack, nullptr);
    EXPECT_EQ(std::memcmp(FreeImage_GetTagValue(commentBack), comment, sizeof comment), 0);
    FITAG* isoBack = TagById(back.bitmap.get(), FIMD_EXIF_EXIF, 0x8827);
    ASSERT_NE(isoBack, nullptr);
    EXPECT_EQ(std::memcmp(FreeImage_GetTagValue(isoBack), iso, sizeof iso), 0);
    EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_INTEROP, 0x0001), "R98");
    for (const WORD leftOut : {0x0131, 0x0128})
        EXPECT_EQ(TagById(back.bitmap.get(), FIMD_EXIF_MAIN, leftOut), nullptr) << std::hex << leftOut;
    EXPECT_EQ(FreeImage_GetWidth(back.bitmap.get()), 8u) << "the file states its own width";
    EXPECT_EQ(TagById(back.bitmap.get(), FIMD_EXIF_EXIF, MakerNoteTag), nullptr) << "a maker note that cannot move";

    // FreeImage parses the block as the EXIF of a JPEG file.
    const BitmapPtr parsed(FreeImage_Load(FIF_JPEG, jpeg.c_str(), FIF_LOAD_NOPIXELS));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(TagText(parsed.get(), FIMD_EXIF_MAIN, "Make"), "Quenlo");
    EXPECT_EQ(TagText(parsed.get(), FIMD_EXIF_MAIN, "Orientation"), "left side, bottom");
    EXPECT_EQ(TagText(parsed.get(), FIMD_EXIF_EXIF, "ExposureTime"), "1/250 sec");
    EXPECT_EQ(TagText(parsed.get(), FIMD_EXIF_GPS, "GPSLatitude"), "48:51:30.75");
    EXPECT_EQ(TagText(parsed.get(), FIMD_EXIF_INTEROP, "InteroperabilityIndex"), "R98");
    // Main tags left out for their type or count, and the maker note, are named.
    EXPECT_EQ(written.notWritten, (std::vector<std::string>{"EXIF", "maker notes"}));
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_EXIF_RAW, picture.get()), 0u) << "the picture is left as it was";
}

TEST(ExifBlock, MakerNotesMoveOnlyWithTheirOwnHeader)
{
    const std::string own("Nikon\0\2\x10\0\0MM\0*\0\0\0\x08", 18);
    const std::string relative("OLYMPUS\0II\3\0", 12);
    EXPECT_TRUE(CanMoveMakerNote(reinterpret_cast<const uint8_t*>(own.data()), own.size()));
    EXPECT_FALSE(CanMoveMakerNote(reinterpret_cast<const uint8_t*>(relative.data()), relative.size()));
    EXPECT_FALSE(CanMoveMakerNote(reinterpret_cast<const uint8_t*>("II*"), 3));
}

// Another program's big-endian TIFF: the new first directory keeps every
// entry, Orientation takes the picture's value, and the pixels stay.
TEST(TiffMetadata, BigEndianFileKeepsItsEntriesAndPixelsAndGainsTheTags)
{
    const fs::path folder = FreshFolder("big_endian");
    const std::string path = (folder / "big.tif").string();
    PutBytes(path, BigEndianTiff());
    const BitmapPtr before(FreeImage_Load(FIF_TIFF, path.c_str()));
    ASSERT_TRUE(before);
    const BitmapPtr metadata(FreeImage_Allocate(1, 1, 24));
    AddPhotoMetadata(metadata.get());
    ASSERT_TRUE(AddToFile(path, metadata.get()));

    const BitmapPtr after(FreeImage_Load(FIF_TIFF, path.c_str()));
    ASSERT_TRUE(after);
    ASSERT_EQ(FreeImage_GetWidth(after.get()), 3u);
    for (unsigned y = 0; y < 2; ++y)
        EXPECT_EQ(std::memcmp(FreeImage_GetScanLine(before.get(), y), FreeImage_GetScanLine(after.get(), y), 9), 0);
    EXPECT_EQ(TagText(after.get(), FIMD_EXIF_MAIN, "Make"), "Quenlo Optics");
    EXPECT_EQ(TagText(after.get(), FIMD_EXIF_MAIN, "Copyright"), "(c) A. Photographer");
    const LoadedPicture directories = LoadPicture(path);
    ASSERT_TRUE(directories) << directories.error;
    EXPECT_EQ(TagTextById(directories.bitmap.get(), FIMD_EXIF_MAIN, 0x0131), "Other tool");
    EXPECT_EQ(TagTextById(directories.bitmap.get(), FIMD_EXIF_MAIN, 0x0112), "right side, top");
    EXPECT_EQ(FreeImage_GetBPP(directories.bitmap.get()), 24u);
    EXPECT_EQ(TagTextById(directories.bitmap.get(), FIMD_EXIF_EXIF, 0x9003), "2024:05:06 07:08:09");
    EXPECT_EQ(TagTextById(directories.bitmap.get(), FIMD_EXIF_GPS, 0x0002), "48:51:30.00");
}

TEST(TiffMetadata, FilesWithoutTagsAreLeftAlone)
{
    const fs::path folder = FreshFolder("left_alone");
    const std::string plain = (folder / "plain.tif").string();
    PutBytes(plain, BigEndianTiff());
    const BitmapPtr bare(FreeImage_Allocate(1, 1, 24));
    EXPECT_TRUE(AddToFile(plain, bare.get()));
    EXPECT_EQ(Bytes(plain), BigEndianTiff());
}

// A photo's EXIF through TIFF and back out to JPEG and PNG: every kind
// kept at each step, and the TIFF's pixels those of the picture.
TEST(WritePicture, ExifOfATiffReachesJpegAndPngFiles)
{
    const fs::path folder = FreshFolder("from_tiff");
    LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/chelsea_small.png");
    ASSERT_TRUE(sample);
    AddPhotoMetadata(sample.bitmap.get());
    const std::string tiff = (folder / "photo.tif").string();
    std::string error;
    WrittenPicture written;
    ASSERT_TRUE(WritePicture(sample.bitmap.get(), tiff, error, {}, &written)) << error;
    EXPECT_TRUE(written.notWritten.empty());
    const LoadedPicture fromTiff = LoadPicture(tiff);
    ASSERT_TRUE(fromTiff) << fromTiff.error;
    const unsigned line = FreeImage_GetLine(sample.bitmap.get());
    for (unsigned y = 0; y < FreeImage_GetHeight(sample.bitmap.get()); ++y)
        ASSERT_EQ(std::memcmp(FreeImage_GetScanLine(sample.bitmap.get(), y), FreeImage_GetScanLine(fromTiff.bitmap.get(), y),
                              line),
                  0)
            << y;

    for (const char* name : {"photo.jpg", "photo.png"}) {
        const std::string path = (folder / name).string();
        ASSERT_TRUE(WritePicture(fromTiff.bitmap.get(), path, error, {}, &written)) << error;
        EXPECT_EQ(written.notWritten, std::string(name) == "photo.png" ? std::vector<std::string>{"IPTC"}
                                                                        : std::vector<std::string>{})
            << name;
        const LoadedPicture back = LoadPicture(path);
        ASSERT_TRUE(back) << back.error;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x010F), "Quenlo Optics") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x0110), "Q-1") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x013B), "A. Photographer") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x8298), "(c) A. Photographer") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x0112), "right side, top") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_EXIF, 0x9003), "2024:05:06 07:08:09") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_GPS, 0x0001), "N") << name;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_GPS, 0x0002), "48:51:30.00") << name;
    }
}

// A camera's thumbnail shows the picture before the edit: JPEG and PNG
// files get the JPEG's own block without it, the rest of the block in place.
TEST(WritePicture, ThumbnailOfTheRawBlockIsLeftBehind)
{
    // "Exif", little-endian header; IFD0 with Make; IFD1 pointing to 16 thumbnail bytes.
    std::vector<uint8_t> block{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
    const auto put16 = [&](uint16_t v) { block.insert(block.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    const auto put32 = [&](uint32_t v) { put16(uint16_t(v)); put16(uint16_t(v >> 16)); };
    put16(1);
    put16(0x010F), put16(2), put32(4), block.insert(block.end(), {'Q', '-', '1', 0});
    put32(26);
    put16(2);
    put16(0x0201), put16(4), put32(1), put32(56);
    put16(0x0202), put16(4), put32(1), put32(16);
    put32(0);
    const std::string thumbnail = "THUMBNAIL-PIXELS";
    block.insert(block.end(), thumbnail.begin(), thumbnail.end());
    LoadedPicture sample = LoadPicture(QUENLO_TEST_DATA_DIR "/chelsea_small.png");
    ASSERT_TRUE(sample);
    SetTag(sample.bitmap.get(), FIMD_EXIF_RAW, 0, FIDT_BYTE, static_cast<DWORD>(block.size()), block.data(),
           static_cast<DWORD>(block.size()));
    FITAG* raw = nullptr;
    ASSERT_TRUE(FreeImage_GetMetadata(FIMD_EXIF_RAW, sample.bitmap.get(), "tag0", &raw));
    FreeImage_SetMetadata(FIMD_EXIF_RAW, sample.bitmap.get(), "ExifRaw", raw);
    FreeImage_SetMetadata(FIMD_EXIF_RAW, sample.bitmap.get(), "tag0", nullptr);

    const fs::path folder = FreshFolder("thumbnail");
    for (const char* name : {"photo.jpg", "photo.png"}) {
        const std::string path = (folder / name).string();
        std::string error;
        ASSERT_TRUE(WritePicture(sample.bitmap.get(), path, error)) << error;
        const std::vector<uint8_t> bytes = Bytes(path);
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_EQ(text.find(thumbnail), std::string::npos) << name;
        EXPECT_NE(text.find(std::string("Q-1\0", 4)), std::string::npos) << name;
        const LoadedPicture back = LoadPicture(path);
        ASSERT_TRUE(back) << back.error;
        EXPECT_EQ(TagTextById(back.bitmap.get(), FIMD_EXIF_MAIN, 0x010F), "Q-1") << name;
    }
    // The picture keeps its own block.
    ASSERT_TRUE(FreeImage_GetMetadata(FIMD_EXIF_RAW, sample.bitmap.get(), "ExifRaw", &raw));
    EXPECT_EQ(std::vector<uint8_t>(static_cast<const uint8_t*>(FreeImage_GetTagValue(raw)),
                                   static_cast<const uint8_t*>(FreeImage_GetTagValue(raw)) + FreeImage_GetTagLength(raw)),
              block);
}
