// The waveform file readers, the panels' choice between them, and the file dialog's filters.
#include "waveform_files.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <random>

#include "file_filters.h"
#include "waveform_reading.h"
#include "waveform_test_files.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::vector<std::string> reported;

int record(const char* title, const char* text) {
    reported.push_back(std::string(title) + ": " + text);
    return 0;
}

class WaveformFilesTest : public ::testing::Test {
protected:
    void SetUp() override { reported.clear(); }
};

struct SizeCase {
    std::size_t fileBytes;
    std::int32_t maxBytes;
    std::int32_t expected;
};

TEST_F(WaveformFilesTest, RawFileIsReadWholeUpToTheCallersLimit) {
    for (const SizeCase& size :
         {SizeCase{6000, 6000, 6000}, SizeCase{6001, 6000, 0}, SizeCase{2000, 2000, 2000},
          SizeCase{2001, 2000, 0}, SizeCase{1999, 2000, 1999}, SizeCase{1, 2000, 1}}) {
        SCOPED_TRACE(size.fileBytes);
        reported.clear();
        const std::string path = writeSized("sized.b16", size.fileBytes);
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size.maxBytes) + 16, 0xEE);
        EXPECT_EQ(ReadWaveform(path.c_str(), buffer.data(), size.maxBytes, record), size.expected);
        if (size.expected == 0) {
            EXPECT_THAT(reported, ElementsAre("FILE Size Error!: " + path));
        } else {
            EXPECT_THAT(reported, IsEmpty());
            EXPECT_EQ(buffer[static_cast<std::size_t>(size.expected) - 1],
                      static_cast<std::uint8_t>(size.expected - 1));
        }
        EXPECT_TRUE(
            std::all_of(buffer.begin() + size.maxBytes, buffer.end(), [](auto b) { return b == 0xEE; }));
    }
}

TEST_F(WaveformFilesTest, RawReaderFailuresAndTheEmptyFile) {
    std::vector<std::uint8_t> buffer(2000);
    const std::string empty = writeFile("empty.b16", {});
    EXPECT_EQ(ReadWaveform(empty.c_str(), buffer.data(), 2000, record), 0);
    EXPECT_THAT(reported, IsEmpty());

    const std::string missing = (waveformFolder() / "missing.b16").string();
    EXPECT_EQ(ReadWaveform(missing.c_str(), buffer.data(), 2000, record), 0);
    EXPECT_EQ(ReadWaveform(waveformFolder().c_str(), buffer.data(), 2000, record), 0);
    const std::string tooLong = "/" + std::string(259, 'a');
    EXPECT_EQ(ReadWaveform(tooLong.c_str(), buffer.data(), 2000, record), 0);
    EXPECT_THAT(reported, ElementsAre("ERROR: Failed GetFileSize(). " + missing,
                                      "ERROR: Failed GetFileSize(). " + waveformFolder().string(),
                                      "OPEN Error: " + tooLong));
}

TEST_F(WaveformFilesTest, WavFileDataArrivesUnchangedAfterItsHeaderWithItsWarnings) {
    const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        std::uint16_t channels;
        std::uint32_t rate;
        std::vector<std::string> warnings;
    };
    for (const Case& wav : {Case{1, 100000, {}}, Case{2, 44100, {"Wav Hdr Error: Mono Only Allowed"}},
                            Case{1, 192000, {"Wav Hdr Error: Sample Rate is too fast."}}}) {
        SCOPED_TRACE(wav.channels * 1000000 + wav.rate);
        reported.clear();
        const std::string path = writeWav("tone.wav", wav.channels, wav.rate, data, 8);
        std::vector<std::uint8_t> buffer(100);
        std::uint8_t header[kWavHeaderSize] = {};
        EXPECT_EQ(ReadWavFile(path.c_str(), buffer.data(), header, 100, record), 8u);
        EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 8), ElementsAreArray(data));
        EXPECT_EQ(header[22], wav.channels);
        EXPECT_THAT(reported, ElementsAreArray(wav.warnings));
    }
}

TEST_F(WaveformFilesTest, WavReaderIsBoundedByTheCallerAndRefusesShortFiles) {
    const std::vector<std::uint8_t> data(10, 0x55);
    std::vector<std::uint8_t> buffer(12, 0xEE);
    std::uint8_t header[kWavHeaderSize] = {};
    const std::string claimsMore = writeWav("claims-more.wav", 1, 8000, data, 0x7FFFFFF0);
    EXPECT_EQ(ReadWavFile(claimsMore.c_str(), buffer.data(), header, 4, record), 4u);
    EXPECT_EQ(buffer[4], 0xEE);
    EXPECT_THAT(reported, IsEmpty());

    EXPECT_EQ(ReadWavFile(claimsMore.c_str(), buffer.data(), header, 12, record), 0u);
    const std::string shortHeader = writeFile("short.wav", {'R', 'I', 'F', 'F'});
    EXPECT_EQ(ReadWavFile(shortHeader.c_str(), buffer.data(), header, 12, record), 0u);
    const std::string missing = (waveformFolder() / "missing.wav").string();
    EXPECT_EQ(ReadWavFile(missing.c_str(), buffer.data(), header, 12, record), 0u);
    EXPECT_THAT(reported, ElementsAre("FILE Size Error: " + claimsMore, "FILE Size Error: " + shortHeader,
                                      "OPEN Error: " + missing));
}

// Random contents and sizes never make a reader write past the caller's limit or return more.
TEST_F(WaveformFilesTest, RandomFilesStayWithinTheLimit) {
    std::mt19937 random(7120);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> bytes(random() % 200);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
        const std::string path = writeFile(round % 2 == 0 ? "random.wav" : "random.b16", bytes);
        const auto limit = static_cast<std::int32_t>(random() % 120);
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(limit) + 8, 0xEE);
        std::uint8_t header[kWavHeaderSize] = {};
        const auto raw = ReadWaveform(path.c_str(), buffer.data(), limit, record);
        const auto wav =
            ReadWavFile(path.c_str(), buffer.data(), header, static_cast<std::uint32_t>(limit), record);
        EXPECT_LE(raw, limit);
        EXPECT_LE(wav, static_cast<std::uint32_t>(limit));
        EXPECT_TRUE(std::all_of(buffer.begin() + limit, buffer.end(), [](auto b) { return b == 0xEE; }));
    }
}

TEST_F(WaveformFilesTest, PanelsReadWavNamesWithoutTheirHeader) {
    const std::vector<std::uint16_t> codes = {0x8000, 0x1234, 0xFFFF};
    const std::string raw = writeCodes("codes.b16", codes);
    const std::string wav = writeWav("codes.WAV", 1, 8000, littleEndianCodes(codes), 6);
    for (const std::string& path : {raw, wav}) {
        std::vector<ViUInt16> read;
        EXPECT_EQ(readWaveformCodes(path, 2000, &read, record), 3) << path;
        EXPECT_THAT(read, ElementsAreArray(codes)) << path;
    }
    std::vector<ViUInt16> kept = {9, 9, 9, 9};
    const std::string odd = writeSized("odd.b16", 3);
    EXPECT_EQ(readWaveformCodes(odd, 2000, &kept, record), 1);
    EXPECT_THAT(kept, ElementsAre(0x0100, 9, 9, 9));
    EXPECT_EQ(readWaveformCodes(writeSized("fifo-odd.b16", 1999), 2000, &kept, record), 999);
    EXPECT_EQ(readWaveformCodes(writeSized("big.b16", 2001), 2000, &kept, record), -1);

    EXPECT_TRUE(isWavFileName("a.wav"));
    EXPECT_TRUE(isWavFileName("/x/TONE.Wav"));
    EXPECT_FALSE(isWavFileName("a.wav.b16"));
    EXPECT_FALSE(isWavFileName("wav"));
}

TEST_F(WaveformFilesTest, FileDialogListsFilesOfEachExtraType) {
    EXPECT_EQ(fileDialogFilters("*.b16", ".wav"), QStringList({"*.b16", "*.wav", "*"}));
    EXPECT_EQ(fileDialogFilters("*.b16", " .wav ; *.txt;"), QStringList({"*.b16", "*.wav", "*.txt", "*"}));
    EXPECT_EQ(fileDialogFilters("*", nullptr), QStringList({"*"}));
}

}  // namespace
}  // namespace sfptest
