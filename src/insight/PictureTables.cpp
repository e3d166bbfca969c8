#include "PictureTables.h"

#include "NumberText.h"

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr std::array kPeriodOrder{Period::Week, Period::Month, Period::AllTime};

QStringList headerWith(const QString& labelTitle) {
    QStringList header{labelTitle};
    for (const Period period : kPeriodOrder)
        header.append(periodTitle(period));
    return header;
}

// A row of the label and one text per period.
template <class Text> QStringList row(const QString& label, const PeriodFigures& figures, Text text) {
    QStringList cells{label};
    for (const PictureFigures& f : figures)
        cells.append(text(f));
    return cells;
}

} // namespace

PeriodFigures periodFigures(const StudentPicture& picture, int level) {
    PeriodFigures figures;
    for (std::size_t i = 0; i < kPeriodOrder.size(); ++i)
        figures[i] = picture.figures(level, kPeriodOrder[i]);
    return figures;
}

QString periodTitle(Period period) {
    switch (period) {
    case Period::Week:
        return u"今週"_s;
    case Period::Month:
        return u"今月"_s;
    case Period::AllTime:
        return u"これまで"_s;
    }
    return {};
}

QString percentText(std::optional<double> percent) {
    if (!percent)
        return u"-"_s;
    return numberText(roundHalfEven(*percent)) + u'%';
}

QString countWithShareText(std::uint32_t count, std::uint32_t answers) {
    if (answers == 0)
        return u"-"_s;
    return numberText(static_cast<std::int64_t>(count)) + u'（' + percentText(100.0 * count / answers) +
           u'）';
}

QString secondsText(std::optional<double> ms) {
    if (!ms)
        return u"-"_s;
    return numberText(roundHalfEven(*ms / 100.0) / 10.0) + u"秒"_s;
}

QString missedFactText(const MissedFact& fact) {
    return u"%1×%2　%3回/%4問"_s.arg(int{fact.fact.small})
        .arg(int{fact.fact.large})
        .arg(fact.wrong)
        .arg(fact.asked);
}

TextTable summaryTable(const PeriodFigures& figures) {
    TextTable table{u"まとめ"_s, headerWith(QString()), {}};
    table.rows.push_back(row(u"答えた数"_s, figures, [](const PictureFigures& f) {
        return numberText(static_cast<std::int64_t>(f.answers));
    }));
    table.rows.push_back(
        row(u"正答率"_s, figures, [](const PictureFigures& f) { return percentText(f.percentRight()); }));
    const auto share = [](std::uint32_t PictureFigures::*count) {
        return [count](const PictureFigures& f) { return countWithShareText(f.*count, f.answers); };
    };
    table.rows.push_back(row(u"小数点の誤り"_s, figures, share(&PictureFigures::pointErrors)));
    table.rows.push_back(row(u"九九の誤り"_s, figures, share(&PictureFigures::factErrors)));
    table.rows.push_back(row(u"その他の誤り"_s, figures, share(&PictureFigures::otherErrors)));
    table.rows.push_back(row(u"正解（ヒントなし）"_s, figures, [](const PictureFigures& f) {
        return countWithShareText(f.rightWithoutHint(), f.answers);
    }));
    table.rows.push_back(row(u"正解（ヒントを見て）"_s, figures, share(&PictureFigures::rightWithHint)));
    return table;
}

TextTable pointErrorTable(const PeriodFigures& figures) {
    TextTable table{u"小数点の位置の誤り"_s, headerWith(u"ずれ"_s), {}};
    static const char16_t* const kBig[] = {u"（10倍）", u"（100倍）", u"（1000倍）", u""};
    static const char16_t* const kSmall[] = {u"（1/10）", u"（1/100）", u"（1/1000）", u""};
    for (int bucket = 0; bucket < kPointPlaceBuckets; ++bucket) {
        const QString places =
            bucket + 1 < kPointPlaceBuckets ? u"%1けた"_s.arg(bucket + 1) : u"%1けた以上"_s.arg(bucket + 1);
        const auto count =
            [bucket](const std::array<std::uint32_t, kPointPlaceBuckets> PictureFigures::*which) {
                return [bucket, which](const PictureFigures& f) {
                    return f.answers == 0 ? u"-"_s
                                          : numberText(static_cast<std::int64_t>(
                                                (f.*which)[static_cast<std::size_t>(bucket)]));
                };
            };
        table.rows.push_back(row(places + u" 大きすぎ"_s + QString::fromUtf16(kBig[bucket]), figures,
                                 count(&PictureFigures::tooBig)));
        table.rows.push_back(row(places + u" 小さすぎ"_s + QString::fromUtf16(kSmall[bucket]), figures,
                                 count(&PictureFigures::tooSmall)));
    }
    return table;
}

TextTable missedFactTable(const PeriodFigures& figures) {
    TextTable table{u"まちがえの多い九九"_s, headerWith(u"順"_s), {}};
    for (int place = 0; place < kMostMissedFacts; ++place) {
        table.rows.push_back(row(u"%1位"_s.arg(place + 1), figures, [place](const PictureFigures& f) {
            if (place < static_cast<int>(f.mostMissed.size()))
                return missedFactText(f.mostMissed[static_cast<std::size_t>(place)]);
            if (place > 0)
                return QString();
            return f.answers == 0 ? u"-"_s : u"なし"_s;
        }));
    }
    return table;
}

TextTable answerTimeTable(const PeriodFigures& figures) {
    TextTable table{u"答えるまでの時間（中央値）"_s, headerWith(u"段"_s), {}};
    for (int group = 1; group <= kFactGroups; ++group) {
        table.rows.push_back(row(u"%1の段"_s.arg(group), figures, [group](const PictureFigures& f) {
            return secondsText(f.medianMs[static_cast<std::size_t>(group)]);
        }));
    }
    return table;
}

std::vector<TextTable> pictureTables(const PeriodFigures& figures) {
    return {summaryTable(figures), pointErrorTable(figures), missedFactTable(figures),
            answerTimeTable(figures)};
}

} // namespace mirai
