// SPDX-License-Identifier: MIT
// Decoding in the helper process: a decoder that crashes, hangs or runs out
// of its budget costs a refusal with a reason; only regular files are read;
// and what comes back is the bitmap the decoder made, metadata included.
#include "picture/decode_time_budget.h"
#include "picture/freeimage_messages.h"
#include "picture/isolated_decoding.h"
#include "picture/picture_loader.h"
#include "picture/sanitized_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <tuple>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path TestFolder()
{
    const fs::path folder = fs::path(QUENLO_TEST_OUTPUT_DIR) / "isolated" /
                            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// A stand-in for the helper: a shell script, used while it is in scope.
class FakeDecoder {
public:
    explicit FakeDecoder(const std::string& body)
    {
        // A name of its own, so that a process started ahead of need from an earlier fake is never taken.
        static int made = 0;
        m_path = TestFolder() / ("fake-decoder-" + std::to_string(++made));
        std::ofstream(m_path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(m_path, fs::perms::owner_all);
        setenv(DecoderVariable, m_path.c_str(), 1);
    }
    ~FakeDecoder() { unsetenv(DecoderVariable); }

private:
    fs::path m_path;
};

fs::path SavedPicture(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, const std::string& name, int flags = 0)
{
    RouteFreeImageMessages(); // the TIFF library's chatter stays out of the test log
    const fs::path path = TestFolder() / name;
    EXPECT_TRUE(FreeImage_Save(format, bitmap, path.c_str(), flags));
    return path;
}

std::string Value(FIBITMAP* dib, FREE_IMAGE_MDMODEL model, const char* key)
{
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(model, dib, key, &tag))
        return "(missing)";
    const auto* text = static_cast<const char*>(FreeImage_GetTagValue(tag));
    return std::string(text, strnlen(text, FreeImage_GetTagLength(tag)));
}

} // namespace

TEST(IsolatedDecoding, ACrashingOrHangingDecoderCostsARefusal)
{
    const fs::path picture = fs::path(QUENLO_TEST_DATA_DIR) / "hostile" / "rgba.png";
    {
        FakeDecoder crashing("kill -SEGV $$");
        const LoadedPicture loaded = LoadPicture(picture);
        EXPECT_FALSE(loaded);
        EXPECT_NE(loaded.error.find("the file is damaged or not a picture (its decoder failed"), std::string::npos)
            << loaded.error;
    }
    {
        FakeDecoder hanging("exec sleep 30");
        SetDecodeSeconds(1);
        const LoadedPicture loaded = LoadPicture(picture);
        SetDecodeSeconds(0);
        EXPECT_EQ(loaded.error, "the file is damaged or not a picture (decoding took longer than 1 seconds)");
    }
    {
        FakeDecoder missing("exit 0"); // exits without a result
        EXPECT_EQ(LoadPicture(picture).error, "the decoder gave back no result");
    }
}

// Heap damage ends the helper: its allocator runs with the checks on, added
// to whatever tunables the user set.
TEST(IsolatedDecoding, TheHelperRunsWithTheHeapChecksOn)
{
    const fs::path seen = fs::path(QUENLO_TEST_OUTPUT_DIR) / "isolated" / "tunables.txt";
    setenv("GLIBC_TUNABLES", "glibc.malloc.arena_max=2", 1);
    {
        FakeDecoder telling("echo \"$GLIBC_TUNABLES\" > '" + seen.string() + "'");
        LoadPicture(fs::path(QUENLO_TEST_DATA_DIR) / "hostile" / "rgba.png");
    }
    unsetenv("GLIBC_TUNABLES");
    std::string tunables;
    std::getline(std::ifstream(seen), tunables);
    EXPECT_EQ(tunables, "glibc.malloc.arena_max=2:glibc.malloc.tcache_count=0:glibc.malloc.perturb=165");
}

TEST(IsolatedDecoding, APictureLargerThanTheBudgetIsRefusedWithItsSize)
{
    BitmapPtr big(FreeImage_Allocate(3000, 2000, 24));
    const fs::path path = SavedPicture(big.get(), FIF_PNG, "big.png");
    SetMemoryBudget(16 * MiB);
    const LoadedPicture loaded = LoadPicture(path);
    SetMemoryBudget(0);
    EXPECT_EQ(loaded.error, "the picture needs more than 16 MiB to open (3000 x 2000 pixels take 18 MiB)");
    EXPECT_TRUE(LoadPicture(path));
}

TEST(IsolatedDecoding, OnlyRegularFilesAreRead)
{
    const fs::path folder = TestFolder();
    const fs::path pipe = folder / "pipe.xbm";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(LoadPicture(pipe).error, "not a picture file: it is a named pipe");
    EXPECT_EQ(LoadPicture("/dev/zero").error, "not a picture file: it is a device");
    EXPECT_EQ(LoadPicture(folder).error, "not a picture file: it is a folder");
    EXPECT_NE(LoadPicture(folder / "absent.png").error.find("cannot open the file: "), std::string::npos);
}

TEST(IsolatedDecoding, TheBitmapComesBackWithDepthPaletteProfileAndMetadata)
{
    BitmapPtr deep(FreeImage_AllocateT(FIT_RGB16, 5, 3));
    for (unsigned y = 0; y < 3; ++y) {
        auto* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep.get(), static_cast<int>(y)));
        for (unsigned x = 0; x < 5; ++x)
            row[x] = FIRGB16{static_cast<WORD>(x * 9000 + y), static_cast<WORD>(y * 20000 + 7), 65535};
    }
    const char* const packet = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                               "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/></x:xmpmeta>";
    FreeImage_SetMetadataKeyValue(FIMD_XMP, deep.get(), "XMLPacket", packet);
    FreeImage_SetMetadataKeyValue(FIMD_EXIF_MAIN, deep.get(), "Artist", "someone");
    unsigned char profile[160] = {};
    std::memcpy(profile + 36, "acsp", 4);
    FreeImage_CreateICCProfile(deep.get(), profile, sizeof profile);
    FreeImage_SetDotsPerMeterX(deep.get(), 11811);
    const fs::path tiff = SavedPicture(deep.get(), FIF_TIFF, "deep.tif");

    const DecodedPicture isolated = DecodeIsolated(tiff, CurrentDecodeLimits());
    ASSERT_TRUE(isolated.bitmap) << isolated.error;
    FIBITMAP* dib = isolated.bitmap.get();
    EXPECT_EQ(isolated.format, FIF_TIFF);
    EXPECT_EQ(FreeImage_GetImageType(dib), FIT_RGB16);
    EXPECT_EQ(FreeImage_GetBPP(dib), 48u);
    EXPECT_EQ(std::memcmp(FreeImage_GetBits(dib), FreeImage_GetBits(deep.get()), FreeImage_GetPitch(dib) * 3), 0);
    EXPECT_EQ(Value(dib, FIMD_XMP, "XMLPacket"), packet);
    EXPECT_EQ(FreeImage_GetICCProfile(dib)->size, sizeof profile);
    EXPECT_EQ(FreeImage_GetDotsPerMeterX(dib), 11811u);
    const DecodedPicture direct = DecodePictureFile(tiff, tiff.filename(), ~0ull);
    for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model)
        EXPECT_EQ(FreeImage_GetMetadataCount(static_cast<FREE_IMAGE_MDMODEL>(model), dib),
                  FreeImage_GetMetadataCount(static_cast<FREE_IMAGE_MDMODEL>(model), direct.bitmap.get()))
            << "model " << model;

    BitmapPtr indexed(FreeImage_Allocate(4, 2, 8));
    for (unsigned i = 0; i < 256; ++i)
        FreeImage_GetPalette(indexed.get())[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 9, 0};
    FreeImage_GetBits(indexed.get())[1] = 200;
    BYTE alpha[3] = {0, 128, 255};
    FreeImage_SetTransparencyTable(indexed.get(), alpha, 3);
    const fs::path png = SavedPicture(indexed.get(), FIF_PNG, "indexed.png");
    const DecodedPicture palette = DecodeIsolated(png, CurrentDecodeLimits());
    ASSERT_TRUE(palette.bitmap) << palette.error;
    EXPECT_EQ(FreeImage_GetColorType(palette.bitmap.get()), FIC_PALETTE);
    EXPECT_EQ(FreeImage_GetPalette(palette.bitmap.get())[200].rgbGreen, 55);
    EXPECT_EQ(FreeImage_GetTransparencyCount(palette.bitmap.get()), 3u);
    EXPECT_EQ(FreeImage_GetTransparencyTable(palette.bitmap.get())[1], 128);
}

TEST(IsolatedDecoding, LargePicturesComeBackWholeAndWithinTheBudget)
{
    // Large enough for the helper to decode it straight into the shared memory.
    BitmapPtr photo(FreeImage_Allocate(1200, 1200, 24));
    for (unsigned y = 0; y < 1200; ++y) {
        BYTE* row = FreeImage_GetScanLine(photo.get(), static_cast<int>(y));
        for (unsigned x = 0; x < 3600; ++x)
            row[x] = static_cast<BYTE>((x * 31) ^ (y * 17));
    }
    const fs::path png = SavedPicture(photo.get(), FIF_PNG, "photo.png");
    const DecodedPicture isolated = DecodeIsolated(png, CurrentDecodeLimits());
    ASSERT_TRUE(isolated.bitmap) << isolated.error;
    EXPECT_EQ(std::memcmp(FreeImage_GetBits(isolated.bitmap.get()), FreeImage_GetBits(photo.get()),
                          FreeImage_GetPitch(photo.get()) * 1200),
              0);

    // Its header claims one byte a pixel; the decoder needs more than the budget.
    const fs::path j2k = SavedPicture(photo.get(), FIF_J2K, "photo.j2k");
    SetMemoryBudget(4 * MiB);
    const DecodedPicture refused = DecodeIsolated(j2k, CurrentDecodeLimits());
    SetMemoryBudget(0);
    EXPECT_EQ(refused.error, "the picture needs more than 4 MiB to open");
}

// A small file gets the floor, a large picture several times what the
// slowest sound one measured (a progressive JPEG: 1.2 s for 24 megapixels),
// and the user's limit bounds both.
TEST(IsolatedDecoding, TheTimeAllowedGrowsWithTheFileAndItsClaim)
{
    EXPECT_EQ(DecodeSecondsFor(31, 0, 60), DecodeFloorSeconds);
    EXPECT_GT(DecodeSecondsFor(31, 10 * 1000 * 1000, 60), DecodeFloorSeconds);
    EXPECT_GE(DecodeSecondsFor(21 * 1000 * 1000, 24 * 1000 * 1000, 60), 5);
    EXPECT_EQ(DecodeSecondsFor(50 * 1000 * 1000, 24 * 1000 * 1000, 3), 3);
    EXPECT_EQ(DecodeSecondsFor(1000 * 1000 * 1000, 1LL << 28, 60), 60);

    // A 31-byte file that hangs its decoder costs the floor, not the limit.
    SetDecodeSeconds(60);
    const auto start = std::chrono::steady_clock::now();
    const LoadedPicture hanging = LoadPicture(fs::path(QUENLO_TEST_DATA_DIR) / "hostile" / "hang_cut_short.iff");
    const auto spent = std::chrono::steady_clock::now() - start;
    SetDecodeSeconds(0);
    EXPECT_NE(hanging.error.find("(decoding took longer than 2 seconds"), std::string::npos) << hanging.error;
    EXPECT_LT(spent, std::chrono::seconds(5));
}

// Plain pictures compress close to what deflate and Huffman codes allow at
// best, and still hold more bytes than their claim needs.
TEST(IsolatedDecoding, PlainPicturesNearTheFloorOfTheirClaimLoad)
{
    BitmapPtr black(FreeImage_Allocate(3000, 3000, 24));
    for (const auto& [format, name, flags] : {std::tuple{FIF_PNG, "black.png", PNG_Z_BEST_COMPRESSION},
                                              std::tuple{FIF_JPEG, "black.jpg", JPEG_PROGRESSIVE | JPEG_QUALITYBAD}}) {
        const fs::path path = SavedPicture(black.get(), format, name, flags);
        const LoadedPicture loaded = LoadPicture(path);
        EXPECT_TRUE(loaded) << name << ": " << fs::file_size(path) << " bytes: " << loaded.error;
    }
}

// Under an inherited address-space limit (ulimit -v) the budget leaves room
// for the programs and the picture mapped into the program too, and a
// picture still opens within it.
TEST(IsolatedDecoding, TheBudgetFitsAnInheritedAddressSpaceLimit)
{
#ifdef QUENLO_SANITIZED
    GTEST_SKIP() << "the sanitizers' shadow memory needs more address space than the limit leaves";
#endif
    rlimit inherited{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &inherited), 0);
    rlimit lower = inherited;
    lower.rlim_cur = std::min<rlim_t>(inherited.rlim_cur, 2048 * MiB);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &lower), 0);
    const DecodeLimits limits = CurrentDecodeLimits();
    SetMemoryBudget(8192 * MiB);
    const std::uint64_t asked = CurrentDecodeLimits().budgetBytes;
    SetMemoryBudget(0);
    const LoadedPicture loaded = LoadPicture(fs::path(QUENLO_TEST_DATA_DIR) / "hostile" / "rgba.png");
    setrlimit(RLIMIT_AS, &inherited);
    EXPECT_LE(limits.budgetBytes, (lower.rlim_cur - 512 * MiB) / 2);
    EXPECT_EQ(asked, limits.budgetBytes);
    EXPECT_TRUE(loaded) << loaded.error;
}

TEST(IsolatedDecoding, AProcessStartedAheadThatWentWhileWaitingIsReplacedUnseen)
{
    const fs::path picture = fs::path(QUENLO_TEST_DATA_DIR) / "hostile" / "rgba.png";
    KeepPictureDecoderReady();
    // The waiting helper goes, as it would when killed by the user or the system.
    int killed = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state, parent;
        if (stat >> pid >> name >> state >> parent && name == "(quenlo-decode)" && parent == std::to_string(getpid()) &&
            state != "Z")
            killed += kill(std::stoi(pid), SIGKILL) == 0;
    }
    EXPECT_GE(killed, 1); // the one waiting, and maybe one done but not yet ended
    const LoadedPicture loaded = LoadPicture(picture);
    EXPECT_TRUE(loaded) << loaded.error;
    EXPECT_TRUE(LoadPicture(picture)) << "and the one started ahead meanwhile serves the next picture";
}
