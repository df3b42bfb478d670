#include "sioc/ssi_format.h"
#include "sioc/ssi_reader.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <filesystem>
#include <ios>
#include <istream>
#include <streambuf>
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

TEST_F(SsiReaderTest, MissingFileFailsToOpenWithoutAReason)
{
    SsiReader reader;
    EXPECT_FALSE(reader.openFile("absent.ssi"));
    EXPECT_EQ(reader.openFailure(), "");
}

TEST_F(SsiReaderTest, AFolderIsNotOpenedAndSaysWhy)
{
    std::filesystem::create_directory("folder.ssi");
    SsiReader reader;
    EXPECT_FALSE(reader.openFile("folder.ssi"));
    EXPECT_EQ(reader.openFailure(), "not a regular file");
}

// Holds a script image but fails every read that reaches past `readable` bytes, as a failing
// disk or a vanished network share does.
class FailingScript : public std::streambuf {
public:
    FailingScript(std::string image, std::size_t readable) : m_image(std::move(image)), m_readable(readable) {}

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        const off_type base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::end ? off_type(m_image.size()) : m_at;
        m_at = base + offset;
        return m_at;
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode mode) override
    {
        return seekoff(off_type(position), std::ios_base::beg, mode);
    }
    std::streamsize xsgetn(char* out, std::streamsize count) override
    {
        if (static_cast<std::size_t>(m_at + count) > m_readable)
            throw std::ios_base::failure("device error");
        m_image.copy(out, static_cast<std::size_t>(count), static_cast<std::size_t>(m_at));
        m_at += count;
        return count;
    }

private:
    std::string m_image;
    std::size_t m_readable;
    off_type m_at = 0;
};

TEST_F(SsiReaderTest, AReadErrorEndsTheReadWithAnError)
{
    FailingScript failing(gf_ssiRecords({-1001, -1002, -1003}), 800);
    std::istream in(&failing);
    SsiReader reader;
    EXPECT_THROW(reader.readNumbers(in), std::runtime_error);
    EXPECT_THAT(reader.numbers(), ElementsAre(1001u, 1002u)); // read before the failure

    FailingScript whole(gf_ssiRecords({-1001, -1002, -1003}), 1200);
    std::istream wholeIn(&whole);
    SsiReader wholeReader;
    wholeReader.readNumbers(wholeIn);
    EXPECT_THAT(wholeReader.numbers(), ElementsAre(1001u, 1002u, 1003u));
}

} // namespace
} // namespace brg
