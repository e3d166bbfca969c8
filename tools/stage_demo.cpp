// Stages the demo data tree from the sources in demo/: every text file in code page 932 with
// CR LF, generated WAV tones, the print source, the program in its own folder and a stand-in
// for the suite's launcher. Results already in the tree are kept.
//
//   stage_demo <demo sources> <tree> <program>

#include "Cp932.h"
#include "DemoFiles.h"
#include "ResultRecords.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;
using namespace mirai::demo;

namespace {

// School year of the demo: the school year starts in April.
int schoolYear() {
    const QDate today = QDate::currentDate();
    return today.month() < 4 ? today.year() - 1 : today.year();
}

// roster.txt "number,grade,name,flag" -> the eight roster fields.
bool writeRoster(const QString& source, const QString& target) {
    QString out;
    const QStringList lines = readUtf8(source).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u',');
        if (f.size() != 4)
            continue;
        const int birthYear = schoolYear() - f[1].toInt() - 6;
        out += f[0] + u","_s + QString::number(birthYear) + u",0,0,\""_s + f[2] + u"\","_s + f[3] +
               u",\"\",\"\"\r\n"_s;
    }
    return writeFile(target, mirai::cp932::encode(out));
}

QString decimalText(int digit, int places) {
    if (places == 0)
        return QString::number(digit);
    QString text = QString::number(digit).rightJustified(places + 1, u'0');
    text.insert(text.size() - places, u'.');
    return text;
}

QString productText(int digits, int places) {
    QString text = decimalText(digits, places);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

// The worksheet source: decimal products of two one-digit numbers for levels 1 and 2, one a line
// as "level,problem,answer,hint,,,,,". Level 1 has operands of no or one decimal place, level 2
// of up to two; at least one operand carries a point.
QByteArray printSource() {
    struct Places {
        int level, a, b;
    };
    static const Places places[] = {{1, 1, 0}, {1, 0, 1}, {1, 1, 1}, {2, 2, 0},
                                    {2, 0, 2}, {2, 2, 1}, {2, 1, 2}};
    std::mt19937 engine(1209);
    std::uniform_int_distribution<int> digit(2, 9);
    QString out;
    QSet<QString> made;
    for (const Places& p : places) {
        const int wanted = p.level == 1 ? 8 : 6; // 24 problems of each level
        for (int count = 0; count < wanted;) {
            const int a = digit(engine);
            const int b = digit(engine);
            const QString problem = decimalText(a, p.a) + u" × "_s + decimalText(b, p.b) + u" ="_s;
            if (made.contains(problem))
                continue;
            made.insert(problem);
            const QString hint = QString::number(a) + u"×"_s + QString::number(b) + u"="_s +
                                 QString::number(a * b) + u"、小数点以下"_s + QString::number(p.a + p.b) +
                                 u"けた"_s;
            out += QString::number(p.level) + u","_s + problem + u","_s + productText(a * b, p.a + p.b) +
                   u","_s + hint + u",,,,,\r\n"_s;
            ++count;
        }
    }
    return mirai::cp932::encode(out);
}

bool copyProgram(const QString& program, const QString& folder) {
    const QString target = folder + QFileInfo(program).fileName();
    QFile::remove(target);
    if (!QFile::copy(program, target)) {
        std::fprintf(stderr, "stage_demo: cannot copy %s\n", qPrintable(program));
        return false;
    }
    return true;
}

// The suite's launcher is another program; the demo's stand-in simply starts the drill again.
bool writeLauncher(const QString& path) {
    const QByteArray script = "#!/bin/sh\n"
                              "# Stand-in for the suite's program menu: starts the drill again.\n"
                              "here=$(dirname \"$0\")\n"
                              "exec \"$here/../MiraiDrill/miraidrill\"\n";
    if (!writeFile(path, script))
        return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                           QFile::ExeOther);
}

// A few weeks of classroom history, so the rankings and lists of the demo have something to
// show. Written only when the tree has no result file yet.
bool writeHistory(const QString& path) {
    if (QFile::exists(path))
        return true;
    std::mt19937 engine(20041);
    std::uniform_int_distribution<int> student(1, 34);
    std::uniform_int_distribution<int> level(1, 2);
    std::normal_distribution<double> pace(1.0, 0.25);
    std::uniform_int_distribution<int> minute(15 * 60, 20 * 60);
    QByteArray bytes;
    const QDate today = QDate::currentDate();
    for (int daysAgo = 40; daysAgo >= 1; --daysAgo) {
        const QDate day = today.addDays(-daysAgo);
        if (day.dayOfWeek() == 7)
            continue;
        std::vector<int> minutes(12);
        for (int& m : minutes)
            m = minute(engine);
        std::sort(minutes.begin(), minutes.end()); // the file holds the runs in the order they ended
        for (int m : minutes) {
            mirai::ResultRecord record;
            record.RunDate = mirai::oleDate(day);
            record.RunTimeOfDay = mirai::oleTimeOfDay(QTime(0, 0).addSecs(m * 60));
            record.StudentNumber = static_cast<std::int16_t>(student(engine));
            record.Level = static_cast<std::int16_t>(level(engine));
            const double target = record.Level == 1 ? 60.0 : 90.0;
            const double seconds =
                target * std::max(0.45, pace(engine)) * (1.0 + record.StudentNumber % 5 * 0.08);
            record.Seconds = seconds > target * 5 ? 99999 : static_cast<std::int32_t>(seconds);
            record.SiteCode = QByteArray("00123");
            bytes += mirai::encodeRecord(record);
        }
    }
    return writeFile(path, bytes);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: stage_demo <demo sources> <tree> <program>\n");
        return 2;
    }
    const QString source = QDir(args[1]).absolutePath() + u"/"_s;
    const QString tree = QDir(args[2]).absolutePath() + u"/"_s;
    const QString program = args[3];

    const QString prog = tree + u"prog/"_s;
    const QString app = prog + u"MiraiDrill/"_s;
    const QString common = tree + u"共通/"_s;
    const QString data = common + u"MiraiDrill/"_s;

    bool ok = QDir().mkpath(app) && QDir().mkpath(data);
    // A relative folder with Windows separators, as the stations' path files have them.
    ok = ok && writeFile(prog + u"パスデータ.txt"_s, mirai::cp932::encode(u"\"..\\共通\\\",,,,,,,,,\r\n"_s));
    ok = ok && convertText(source + u"common/共通データ.txt"_s, common + u"共通データ.txt"_s);
    ok = ok && writeRoster(source + u"roster.txt"_s, common + u"新名簿.txt"_s);
    ok = ok && convertText(source + u"data/タイム回数データ.txt"_s, data + u"タイム回数データ.txt"_s);
    ok = ok && writeSounds(common + u"音フォルダ/"_s, source + u"新音ファイル.txt"_s);
    ok = ok && writeFile(app + u"プロト.csv"_s, printSource());
    ok = ok && writeHistory(data + u"成績累積データ.dat"_s);
    ok = ok && copyProgram(program, app);
    ok = ok && writeLauncher(prog + u"起動/プログラムメニューc.exe"_s);
    return ok ? 0 : 1;
}
