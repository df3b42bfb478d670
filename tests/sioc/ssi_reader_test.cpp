#include "sioc/ssi_format.h"
#include "sioc/ssi_reader.h"
#include "support/fresh_state.h"

#include <gmock/gmock.h>

#include <ios>
#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace brg {
namespace {

using test::writeFile;
using ::testing::ElementsAre;

using SsiReaderTest = test::TempDirTest;

TEST(SsiFormatTest, FieldIsLittleEndianAtByte140OfEachRecord)
{
    const std::string image = gf_ssiRecords({0, -1234});
    ASSERT_EQ(image.size(), 800u);
    EXPECT_EQ(image.substr(400 + 140, 4), std::string("\x2E\xFB\xFF\xFF", 4));
    EXPECT_EQ(image.find_first_not_of('\0'), 400u + 140u);
    EXPECT_EQ(gf_ssiNumberField(image.data() + 400), -1234);
    EXPECT_EQ(gf_ssiNumberField(gf_ssiRecords({INT32_MIN}).data()), INT32_MIN);
}

TEST_F(SsiReaderTest, NegativeFieldsDeclareTheirNegationOnceIn1000To5688)
{
    // A file of 1000 bytes: the third record is read from offset 800.
    std::string thousand = gf_ssiRecords({-1001, -1002, 0});
    thousand.resize(1000);
    thousand.replace(940, 4, std::string("\x48\xF4\xFF\xFF", 4)); // -3000
    // A last record of 143 bytes ends inside the field: its bytes glued to the 0xFF left over from
    // -1002 would read as -4000. Exactly 144 bytes hold the whole field.
    const std::string cut = gf_ssiRecords({-1001, -1002}) + std::string(140, '\0') + "\x60\xF0\xFF";
    const std::string whole = gf_ssiRecords({-1001}) + gf_ssiRecords({-4000}).substr(0, 144);
    const std::vector<std::pair<std::string, std::vector<std::uint32_t>>> cases = {
        {"", {}},
        {gf_ssiRecords({-1234, -1234}), {1234}},
        {gf_ssiRecords({-1234, -1300, -1234}), {1234, 1300}}, // repeats only in consecutive records
        // A non-negative field leaves the previous value alone: -2000 after it is still a repeat.
        {gf_ssiRecords({-2000, 0, 7, -2000, -2001}), {2000, 2001}},
        {gf_ssiRecords({-999, -5689, -1000, -5688, 0, 1234, INT32_MIN, -1}), {1000, 5688}},
        {thousand, {1001, 1002, 3000}},
        {cut, {1001, 1002}},
        {whole, {1001, 4000}},
    };
    for (const auto& [image, expected] : cases) {
        writeFile("script.ssi", image);
        SsiReader reader;
        ASSERT_TRUE(reader.openFile("script.ssi"));
        reader.readNumbers();
        reader.closeFile();
        EXPECT_EQ(std::vector<std::uint32_t>(reader.numbers().begin(), reader.numbers().end()), expected)
            << image.size() << " bytes";
    }
}

// Fails every read that reaches past `readable` bytes, as a failing disk or a vanished share does.
class FailingScript : public std::stringbuf {
public:
    FailingScript(const std::string& image, std::streamsize readable) : std::stringbuf(image), m_readable(readable) {}

protected:
    std::streamsize xsgetn(char* out, std::streamsize count) override
    {
        if (gptr() - eback() + count > m_readable)
            throw std::ios_base::failure("device error");
        return std::stringbuf::xsgetn(out, count);
    }

private:
    std::streamsize m_readable;
};

TEST_F(SsiReaderTest, AReadErrorEndsTheReadWithAnError)
{
    FailingScript failing(gf_ssiRecords({-1001, -1002, -1003}), 800);
    std::istream in(&failing);
    SsiReader reader;
    EXPECT_THROW(reader.readNumbers(in), std::runtime_error);
    EXPECT_THAT(reader.numbers(), ElementsAre(1001u, 1002u)); // read before the failure
}

} // namespace
} // namespace brg
