#include "platform/ini_file.h"

#include "expect_throw.h"
#include "temp_home.h"

#include <gtest/gtest.h>

using brisk::IniFile;

class IniFileTest : public TempHomeTest {
protected:
    std::string file() const { return home() + "test.ini"; }
};

TEST_F(IniFileTest, FindsSectionsAndKeysWithoutRegardToCase)
{
    writeFile(file(), "[Common]\nTimeOut = 30 \nName=x=y\n[other]\nkey=1\n");
    const IniFile ini(file());
    EXPECT_EQ(ini.readString("common", "TIMEOUT", "?"), "30");
    EXPECT_EQ(ini.readString("COMMON", "name", "?"), "x=y");
    EXPECT_EQ(ini.readInteger("Other", "Key", 7), 1);
    EXPECT_EQ(ini.readString("Common", "missing", "def"), "def");
    EXPECT_EQ(ini.readString("Missing", "key", "def"), "def");
}

TEST_F(IniFileTest, IntegersAndBooleans)
{
    writeFile(file(), "[s]\na=12\nb=-7\nc=abc\nd=12x\ne=99999999999\nf=0\ng=5\nh=\ni=+3\n");
    const IniFile ini(file());
    EXPECT_EQ(ini.readInteger("s", "a", 0), 12);
    EXPECT_EQ(ini.readInteger("s", "b", 0), -7);
    EXPECT_EQ(ini.readInteger("s", "c", 42), 42);
    EXPECT_EQ(ini.readInteger("s", "d", 42), 42);
    EXPECT_EQ(ini.readInteger("s", "e", 42), 42);
    EXPECT_EQ(ini.readInteger("s", "h", 42), 42);
    EXPECT_EQ(ini.readInteger("s", "i", 0), 3);
    EXPECT_FALSE(ini.readBool("s", "f", true));
    EXPECT_TRUE(ini.readBool("s", "g", false));
    EXPECT_TRUE(ini.readBool("s", "c", true));
}

TEST_F(IniFileTest, WritingAKeyKeepsEverythingElse)
{
    const std::string original = "; comment\n[Layouts]\nMain=1,2,3,4\n\n[Common]\nTimeOut=15\nOdd line\n";
    writeFile(file(), original);
    IniFile ini(file());
    ini.writeInteger("common", "timeout", 20);
    ini.writeString("Common", "New", "v");
    ini.writeString("Added", "k", "w");
    ini.save();
    EXPECT_EQ(readFile(file()),
              "; comment\n[Layouts]\nMain=1,2,3,4\n\n[Common]\nTimeOut=20\nOdd line\nNew=v\n\n[Added]\nk=w\n");
    EXPECT_EQ(modeOf(file()), 0600u) << "passwords are kept there";
}

TEST_F(IniFileTest, UnchangedFileIsWrittenBackByteForByte)
{
    const std::string original = "[A]\n  key =  spaced value \r\n[B]\nx=1\n";
    writeFile(file(), original);
    IniFile ini(file());
    ini.writeString("B", "x", "1");
    ini.save();
    EXPECT_EQ(readFile(file()), "[A]\n  key =  spaced value \n[B]\nx=1\n");
}

TEST_F(IniFileTest, ValuesCannotBreakLines)
{
    IniFile ini(file());
    ini.writeString("S", "k", "one\ntwo=2");
    ini.save();
    const IniFile back(file());
    EXPECT_EQ(back.readString("S", "k", "?"), "one");
    EXPECT_FALSE(back.hasKey("S", "two"));
}

TEST_F(IniFileTest, UnwritableFileThrowsWithItsPath)
{
    const std::string path = home() + "no/such/dir/x.ini";
    IniFile ini(path);
    ini.writeString("S", "k", "v");
    brisk::test::expectThrowWhat<brisk::IniWriteError>([&] { ini.save(); }, "Unable to write to " + path);
}
