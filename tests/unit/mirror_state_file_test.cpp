#include "mirror/mirror_state_file.h"
#include "temp_home.h"

#include <gtest/gtest.h>

namespace brisk {
namespace {

class MirrorStateFileTest : public TempHomeTest {};

TEST_F(MirrorStateFileTest, AnEmptyRunWritesTheSixHeaderLines)
{
    const MirrorStateHeader header{"ftp.example", "/home/u/site", "/pub", "", "", false};
    const std::string path = home() + kMirrorStateFileName;
    ASSERT_TRUE(WriteMirrorState(path, header, {}));
    EXPECT_EQ(readFile(path), "ftp.example\r\n/home/u/site\r\n/pub\r\n\r\n\r\nOk\r\n");
    EXPECT_FALSE(WriteMirrorState(home() + "missing/" + kMirrorStateFileName, header, {}));
}

TEST_F(MirrorStateFileTest, RecordLinesCarryNamesSizesOperationAndState)
{
    const MirrorStateHeader header{"h", "L", "/r", "sub\\", "sub/", true};
    const std::vector<TMirrorRec> items{
        {"", "old.txt", 0, 0, omDelFtp, smDone},
        {"big.iso", "big.iso", 5000000000, 12, omPut, smError},
        {"d", "d", 0, 0, omDirUp, smNone},
        {"", "x", 0, 0, omRmdFtp, smProgress},
    };
    EXPECT_EQ(FormatMirrorState(header, items), "h\r\nL\r\n/r\r\nsub\\\r\nsub/\r\nStopped\r\n"
                                                "\told.txt\t0\t0\tomDelFtp\tsmDone\r\n"
                                                "big.iso\tbig.iso\t5000000000\t12\tomPut\tsmError\r\n"
                                                "d\td\t0\t0\tomDirUp\tsmNone\r\n"
                                                "\tx\t0\t0\tomRmdFtp\tsmProgress\r\n");
}

} // namespace
} // namespace brisk
