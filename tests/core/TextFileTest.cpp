#include "TextFile.h"

#include "Cp932.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

TextFieldReader readerOf(const QString& text) {
    TextFieldReader reader;
    reader.setBytes(cp932::encode(text));
    return reader;
}

QStringList allTexts(TextFieldReader& reader) {
    QStringList fields;
    while (!reader.atEnd())
        fields << reader.readText();
    return fields;
}

struct FieldCase {
    const char* name;
    const char16_t* file;
    QStringList fields;
};

class FieldReaderTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldReaderTest, SplitsTheStreamIntoFields) {
    TextFieldReader reader = readerOf(QString::fromUtf16(GetParam().file));
    EXPECT_EQ(allTexts(reader), GetParam().fields) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FieldReaderTest,
    ::testing::Values(
        FieldCase{"quoted comma", u"\"a,b\",c\r\n", {u"a,b"_s, u"c"_s}},
        FieldCase{"blanks around values", u"1, 2 ,3\r\n", {u"1"_s, u"2"_s, u"3"_s}},
        FieldCase{"trailing blank and tab before the comma", u"正解音2 \t,x\r\n", {u"正解音2"_s, u"x"_s}},
        FieldCase{"quoted keeps its blanks", u"\" a \",b\r\n", {u" a "_s, u"b"_s}},
        FieldCase{
            "trailing commas give empty fields", u"1,,,\r\n2\r\n", {u"1"_s, u""_s, u""_s, u""_s, u"2"_s}},
        FieldCase{"empty line in the middle is one empty field", u"1\r\n\r\n2\r\n", {u"1"_s, u""_s, u"2"_s}},
        FieldCase{"no final line end", u"1,2", {u"1"_s, u"2"_s}},
        FieldCase{"tail of blank lines is the end", u"1\r\n\r\n  \r\n\r\n", {u"1"_s}},
        FieldCase{"Ctrl-Z ends the file", u"1,2\r\n\x1a garbage\r\n", {u"1"_s, u"2"_s}},
        FieldCase{"lone LF and lone CR end lines too", u"1\n2\r3\r\n", {u"1"_s, u"2"_s, u"3"_s}},
        FieldCase{"text after the closing quote is dropped", u"\"a\"xyz,b\r\n", {u"a"_s, u"b"_s}},
        FieldCase{"unclosed quote runs to the end", u"\"abc", {u"abc"_s}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(FieldReader, ARowOverTwoLinesReadsLikeOneLine) {
    TextFieldReader oneLine = readerOf(u"120,300,100\r\n150,400,100\r\n"_s);
    TextFieldReader twoLines = readerOf(u"120,300\r\n100\r\n150\r\n400,100\r\n"_s);
    EXPECT_EQ(allTexts(oneLine), allTexts(twoLines));
    // A comma right before the line end still closes an (empty) field.
    TextFieldReader trailing = readerOf(u"120,\r\n300\r\n"_s);
    EXPECT_EQ(allTexts(trailing), (QStringList{u"120"_s, u""_s, u"300"_s}));
}

TEST(FieldReader, EndTestIsTrueRightAfterTheLastFieldOfACrLfLine) {
    TextFieldReader reader = readerOf(u"1,2\r\n"_s);
    EXPECT_FALSE(reader.atEnd());
    reader.readText();
    EXPECT_FALSE(reader.atEnd());
    reader.readText();
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, ReadingPastTheEndGivesEmptyValues) {
    TextFieldReader reader = readerOf(u"7"_s);
    EXPECT_EQ(reader.readInt16(), 7);
    EXPECT_EQ(reader.readText(), QString());
    EXPECT_EQ(reader.readInt32(), 0);
    EXPECT_EQ(reader.readSingle(), 0.0f);
    EXPECT_TRUE(reader.readUntyped().isEmpty());
}

TEST(FieldReader, NumberSlotsReadValRoundHalfEvenAndClamp) {
    TextFieldReader reader = readerOf(u"目標Time,2.5,3.5,70000,9999999999,-1e30,1.5,\"12\",1e60\r\n"_s);
    EXPECT_EQ(reader.readInt32(), 0);
    EXPECT_EQ(reader.readInt16(), 2);
    EXPECT_EQ(reader.readInt16(), 4);
    EXPECT_EQ(reader.readInt16(), 32767);
    EXPECT_EQ(reader.readInt32(), INT32_MAX);
    EXPECT_EQ(reader.readInt32(), INT32_MIN);
    EXPECT_EQ(reader.readSingle(), 1.5f);
    EXPECT_EQ(reader.readInt16(), 12);
    EXPECT_EQ(reader.readSingle(), FLT_MAX);
}

TEST(Untyped, KeepsTheFieldAndComparesByKind) {
    TextFieldReader reader = readerOf(u"01,\"5\",abc,,*\r\n"_s);
    const Untyped number = reader.readUntyped();
    const Untyped quoted = reader.readUntyped();
    const Untyped text = reader.readUntyped();
    const Untyped empty = reader.readUntyped();
    const Untyped star = reader.readUntyped();
    EXPECT_TRUE(number.isNumber());
    EXPECT_TRUE(number == 1.0);
    EXPECT_EQ(number.toText(), u"01"_s); // kept as written, so a file name "01" stays "01"
    EXPECT_FALSE(quoted.isNumber());
    EXPECT_TRUE(quoted == 5.0);
    EXPECT_TRUE(quoted == u"5"_s);
    EXPECT_TRUE(text == 0.0);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(empty == 0.0);
    EXPECT_TRUE(empty == QString());
    EXPECT_TRUE(star == u"*"_s);
    EXPECT_FALSE(star == u"**"_s);
}

TEST(Cp932, RoundTripsTheCharactersTheStationsUse) {
    QString text = u"－～★　ｱｲｳｴｵﾚﾍﾞﾙﾌﾟﾟﾛｸﾞﾗﾑ幼小中高ⅠⅡⅢ\\"_s;
    for (char16_t c = u'①'; c <= u'⑳'; ++c)
        text += QChar(c);
    const QByteArray bytes = cp932::encode(text);
    EXPECT_EQ(cp932::decode(bytes), text);
    EXPECT_EQ(cp932::encode(u"－"_s), QByteArray("\x81\x7c", 2));
    EXPECT_EQ(cp932::encode(u"～"_s), QByteArray("\x81\x60", 2));
    EXPECT_EQ(cp932::encode(u"①"_s), QByteArray("\x87\x40", 2));
    EXPECT_EQ(cp932::encode(u"Ⅰ"_s), QByteArray("\x87\x54", 2));
    EXPECT_EQ(cp932::encode(u"ｱ"_s), QByteArray("\xb1", 1));
    EXPECT_EQ(cp932::encode(u"　"_s), QByteArray("\x81\x40", 2));
}

TEST(Cp932, FixedFieldsCutWithoutSplittingACharacter) {
    EXPECT_EQ(cp932::fixedField(u"12345"_s, 5), QByteArray("12345"));
    EXPECT_EQ(cp932::fixedField(u"12"_s, 5), QByteArray("12   "));
    EXPECT_EQ(cp932::fixedField(QString(), 5), QByteArray("     "));
    EXPECT_EQ(cp932::fixedField(u"123456"_s, 5), QByteArray("12345"));
    // Two double-byte characters are four bytes; the third would split, so a blank pads.
    EXPECT_EQ(cp932::fixedField(u"北教室"_s, 5), cp932::encode(u"北教"_s) + ' ');
    EXPECT_EQ(cp932::fixedField(u"1北教"_s, 5), cp932::encode(u"1北教"_s));
}

TEST(TextFileWriter, WritesTextsExactlyWithCrLfInCodePage932) {
    TextFileWriter writer;
    writer.write(u"目標Time,"_s);
    writer.write(u"1.5,"_s);
    writer.writeLine(QString());
    writer.writeLine(u"①"_s);
    EXPECT_EQ(writer.bytes(), cp932::encode(u"目標Time,1.5,\r\n①\r\n"_s));
}

} // namespace
