// Stages the demo data tree from the sources in demo/: every text file in code page 932 with
// CR LF, generated WAV tones, a few weeks of results with their answers, the print source, the
// program in its own folder and a stand-in for the suite's launcher. Results and answers already
// in the tree are kept.
//
//   stage_demo <demo sources> <tree> <program>

#include "AnswerLog.h"
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

// ---- The answer log of the demo's history ----

// A problem as the drill makes it: digits 1..9, level 1 with 0 or 1 decimal place each, level 2
// with up to 2; an operand that reads 1 and two whole operands are drawn again.
struct DemoProblem {
    int digitA = 0, placesA = 0, digitB = 0, placesB = 0;
};

DemoProblem drawProblem(std::mt19937& engine, int level) {
    std::uniform_int_distribution<int> digit(1, 9);
    std::uniform_int_distribution<int> places(0, level == 1 ? 1 : 2);
    DemoProblem p;
    do {
        do {
            p.digitA = digit(engine);
            p.placesA = places(engine);
        } while (p.digitA == 1 && p.placesA == 0);
        do {
            p.digitB = digit(engine);
            p.placesB = places(engine);
        } while (p.digitB == 1 && p.placesB == 0);
    } while (p.placesA == 0 && p.placesB == 0);
    return p;
}

// What a student types for digits x 10^-places: "0.56" for 56 and 2, "560" for 56 and -1.
QString typedText(long long digits, int places) {
    if (places < 0)
        return QString::number(digits) + QString(-places, u'0');
    return productText(static_cast<int>(digits), places);
}

// How a demo student goes wrong: some move the point wrongly, some know a few facts wrongly,
// some lean on the hint, most are sound.
enum class Habit { Sound, Point, Facts, Hint };
Habit habitOf(int student) {
    switch (student % 6) {
    case 1:
        return Habit::Point;
    case 2:
    case 4:
        return Habit::Facts;
    case 3:
        return Habit::Hint;
    default:
        return Habit::Sound;
    }
}

// The answers of one run of the history: right ones until ten net right (or until the clock ran
// out), with the mistakes the student's habit makes.
QByteArray demoAnswers(const mirai::ResultRecord& record, std::mt19937& engine) {
    const Habit habit = habitOf(record.StudentNumber);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> think(1800, 6500);
    const bool timedOut = record.Seconds >= 99998;
    const std::uint64_t runId = (static_cast<std::uint64_t>(engine()) << 32) | engine();
    QByteArray bytes;
    int net = 0;
    for (int index = 1; index <= 40 && net < 10 && !(timedOut && index > 14); ++index) {
        const DemoProblem p = drawProblem(engine, record.Level);
        const int product = p.digitA * p.digitB;
        const int places = p.placesA + p.placesB;
        const bool hardFact =
            (p.digitA >= 6 && p.digitB >= 6) || p.digitA * p.digitB == 56 || p.digitA * p.digitB == 54;
        QString typed = typedText(product, places);
        bool right = true;
        const double roll = chance(engine);
        if (habit == Habit::Point && roll < 0.22) {
            typed = typedText(product, places + (chance(engine) < 0.7 ? -1 : 1) * (roll < 0.05 ? 2 : 1));
            right = false;
        } else if (habit == Habit::Facts && hardFact && roll < 0.45) {
            const int wrong = product + (chance(engine) < 0.5 ? -p.digitA : p.digitB);
            typed = typedText(wrong, places);
            right = false;
        } else if (roll < 0.04) {
            typed = typedText(product + 1, places);
            right = false;
        } else if (roll < 0.05) {
            typed.clear();
            right = false;
        }
        std::uint32_t ms = static_cast<std::uint32_t>(think(engine) * (hardFact ? 1.4 : 1.0));
        const bool hint = habit == Habit::Hint ? chance(engine) < 0.6 : ms > 4000 && chance(engine) < 0.3;
        if (hint)
            ms += 4000;
        mirai::LoggedAnswer answer;
        answer.runId = runId;
        answer.runDay = static_cast<std::int32_t>(record.RunDate);
        answer.runSecond = mirai::timeFromOle(record.RunTimeOfDay).msecsSinceStartOfDay() / 1000;
        answer.student = record.StudentNumber;
        answer.level = record.Level;
        answer.index = static_cast<std::uint8_t>(index);
        answer.digitA = static_cast<std::uint8_t>(p.digitA);
        answer.placesA = static_cast<std::uint8_t>(p.placesA);
        answer.digitB = static_cast<std::uint8_t>(p.digitB);
        answer.placesB = static_cast<std::uint8_t>(p.placesB);
        const QByteArray ascii = typed.toLatin1().left(16);
        answer.typedLength = static_cast<std::uint8_t>(ascii.size());
        std::copy_n(ascii.constData(), ascii.size(), answer.typed.begin());
        answer.right = right;
        answer.hintShown = hint;
        answer.ms = ms;
        bytes += mirai::answerlog::encode(answer);
        net = right ? net + 1 : std::max(0, net - 1);
    }
    return bytes;
}

// The answers of every run in the result file, when the tree has no answer log yet: a teacher
// opening the analysis on the demo sees students who move the point wrongly and students who
// know 7 x 8 or 6 x 9 wrongly.
bool writeAnswerLog(const QString& results, const QString& path) {
    if (QFile::exists(path))
        return true;
    QFile file(results);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray records = file.readAll();
    std::mt19937 engine(7331);
    QByteArray bytes = mirai::answerlog::header();
    for (qsizetype at = 0; at + mirai::kRecordSize <= records.size(); at += mirai::kRecordSize)
        bytes += demoAnswers(mirai::decodeRecord(records.constData() + at), engine);
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
    ok = ok && writeAnswerLog(data + u"成績累積データ.dat"_s, data + u"解答記録.dat"_s);
    ok = ok && copyProgram(program, app);
    ok = ok && writeLauncher(prog + u"起動/プログラムメニューc.exe"_s);
    return ok ? 0 : 1;
}
