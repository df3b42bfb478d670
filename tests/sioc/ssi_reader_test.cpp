#include "sioc/ssi_format.h"
#include "sioc/ssi_reader.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace brg {
namespace {

using test::writeFile;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SsiReaderTest : public test::TempDirTest {
protected:
    std::set<std::uint32_t> numbersOf(const std::string& image)
    {
        writeFile("script.ssi", image);
        SsiReader reader;
        EXPECT_TRUE(reader.openFile("script.ssi"));
        reader.readNumbers();
        reader.closeFile();
        return reader.numbers();
    }
};

TEST(SsiFormatTest, FieldIsLittleEndianAtByte140OfEachRecord)
{
    const std::string image = gf_ssiRecords({0, -1234});
    ASSERT_EQ(image.size(), 800u);
    EXPECT_EQ(image.substr(400 + 140, 4), std::string("\x2E\xFB\xFF\xFF", 4));
    EXPECT_EQ(image.find_first_not_of('\0'), 400u + 140u);
    EXPECT_EQ(gf_ssiNumberField(image.data() + 400), -1234);
    EXPECT_EQ(gf_ssiNumberField(gf_ssiRecords({INT32_MIN}).data()), INT32_MIN);
}

TEST_F(SsiReaderTest, NegativeFieldDeclaresItsNegation)
{
    std::string image(400, '\0');
    image.replace(140, 4, "\x2E\xFB\xFF\xFF");
    EXPECT_THAT(numbersOf(image), ElementsAre(1234u));
}

TEST_F(SsiReaderTest, RepeatsInConsecutiveRecordsAreTakenOnce)
{
    EXPECT_THAT(numbersOf(gf_ssiRecords({-1234, -1234})), ElementsAre(1234u));
    EXPECT_THAT(numbersOf(gf_ssiRecords({-1234, -1300, -1234})), ElementsAre(1234u, 1300u));
}

TEST_F(SsiReaderTest, NonNegativeFieldsDoNotBreakARepeat)
{
    // A non-negative field leaves the previous value alone, so -2000 after it is still a repeat;
    // the set would hold it once either way, so the next one proves the value moved on.
    EXPECT_THAT(numbersOf(gf_ssiRecords({-2000, 0, 7, -2000, -2001})), ElementsAre(2000u, 2001u));
}

TEST_F(SsiReaderTest, OnlyNumbersFrom1000To5688AreTaken)
{
    EXPECT_THAT(numbersOf(gf_ssiRecords({-999, -5689, -1000, -5688, 0, 1234, INT32_MIN, -1})),
                ElementsAre(1000u, 5688u));
}

TEST_F(SsiReaderTest, EmptyFileHasNoRecords)
{
    EXPECT_THAT(numbersOf(""), IsEmpty());
}

TEST_F(SsiReaderTest, ThousandByteFileReadsThirdRecordFromOffset800)
{
    std::string image = gf_ssiRecords({-1001, -1002, 0});
    image.resize(1000);
    image.replace(940, 4, std::string("\x48\xF4\xFF\xFF", 4)); // -3000
    EXPECT_THAT(numbersOf(image), ElementsAre(1001u, 1002u, 3000u));
}

TEST_F(SsiReaderTest, FinalRecordWithoutTheWholeFieldAddsNothing)
{
    // 143 bytes: bytes 140 to 142 hold the low bytes of -4000 and byte 143 would still be the
    // 0xFF of -1002 from the record before; glued together they would read as -4000.
    std::string image = gf_ssiRecords({-1001, -1002});
    image += std::string(140, '\0') + std::string("\x60\xF0\xFF", 3);
    EXPECT_THAT(numbersOf(image), ElementsAre(1001u, 1002u));
    // Exactly 144 bytes hold the whole field.
    image = gf_ssiRecords({-1001}) + gf_ssiRecords({-4000}).substr(0, 144);
    EXPECT_THAT(numbersOf(image), ElementsAre(1001u, 4000u));
}

TEST_F(SsiReaderTest, MissingFileFailsToOpen)
{
    SsiReader reader;
    EXPECT_FALSE(reader.openFile("absent.ssi"));
}

} // namespace
} // namespace brg
