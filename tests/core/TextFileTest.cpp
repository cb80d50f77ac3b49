#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/logic/TextFile.h"

namespace {

// "借书" in GB18030 (the same bytes as in GBK / code page 936).
const QByteArray kJieShuBytes = QByteArray::fromHex("bde8cae9");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void makeReadOnly(const QString& path)
{
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
}

}  // namespace

TEST(TextFile, EncodesChineseAsGb18030Bytes)
{
    EXPECT_EQ(TextFile::encode(QStringLiteral("借书")), kJieShuBytes);
    EXPECT_EQ(TextFile::decode(kJieShuBytes), QStringLiteral("借书"));
    // Characters outside GBK still survive the round trip (four-byte forms).
    const QString rare = QStringLiteral("𠀀€澄岳");
    EXPECT_EQ(TextFile::decode(TextFile::encode(rare)), rare);
}

TEST(TextFile, ReadLinesToleratesEveryLineEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb\n", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const Case& c : cases) {
        putBytes(path, c.bytes);
        const auto lines = TextFile::readLines(path);
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, c.lines) << c.bytes.toStdString();
    }
}

TEST(TextFile, ReadLinesDecodesGb18030)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tips.ini");
    putBytes(path, "[TIP]\r\n1=" + kJieShuBytes + "\r\n");
    EXPECT_EQ(TextFile::readLines(path), QStringList({"[TIP]", QStringLiteral("1=借书")}));
}

TEST(TextFile, ReadLinesOfMissingFileOrDirectoryIsNothing)
{
    QTemporaryDir dir;
    EXPECT_FALSE(TextFile::readLines(dir.filePath("missing.txt")).has_value());
    EXPECT_FALSE(TextFile::readLines(dir.path()).has_value());
}

TEST(TextFile, WriteLinesEndsEveryLineWithCrLfInGb18030)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    putBytes(path, "old content that is longer than the new one\r\n");
    ASSERT_TRUE(TextFile::writeLines(path, {QStringLiteral("借书"), "", "x=1"}));
    EXPECT_EQ(fileBytes(path), kJieShuBytes + "\r\n\r\nx=1\r\n");
    ASSERT_TRUE(TextFile::writeLines(path, {}));
    EXPECT_EQ(fileBytes(path), QByteArray());
}

TEST(TextFile, AppendLineCreatesAndExtends)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("log.txt");
    ASSERT_TRUE(TextFile::appendLine(path, "a"));
    ASSERT_TRUE(TextFile::appendLine(path, QStringLiteral("借书")));
    EXPECT_EQ(fileBytes(path), "a\r\n" + kJieShuBytes + "\r\n");
}

TEST(TextFile, ReadOnlyFileIsRefusedEvenWithOverridingRights)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ro.txt");
    putBytes(path, "keep\r\n");
    EXPECT_FALSE(TextFile::isReadOnly(path));
    makeReadOnly(path);
    EXPECT_TRUE(TextFile::isReadOnly(path));
    EXPECT_FALSE(TextFile::writeLines(path, {"changed"}));
    EXPECT_FALSE(TextFile::appendLine(path, "changed"));
    EXPECT_EQ(fileBytes(path), "keep\r\n");
    EXPECT_FALSE(TextFile::isReadOnly(dir.filePath("missing.txt")));
}

TEST(TextFile, WriteLinesLeavesNoWorkFilesBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    ASSERT_TRUE(TextFile::writeLines(path, {"a"}));
    ASSERT_TRUE(TextFile::writeLines(path, {"b"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"out.txt"}));
}
