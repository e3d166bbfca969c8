#include "InsightScreen.h"

#include "AnswerLog.h"
#include "AppControl.h"
#include "EventPump.h"
#include "FileDialogs.h"
#include "FileResultStore.h"
#include "FileSystem.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "PrintOutput.h"
#include "ResultRecords.h"
#include "ScreenManager.h"
#include "SharedState.h"
#include "StoreMessages.h"
#include "TextFile.h"
#include "UiSupport.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

const QColor kBackground(236, 240, 247);
const QColor kBand(90, 111, 150);
constexpr int kBandHeight = 64;

} // namespace

InsightScreen::InsightScreen(Context context, const QString& screenName, const QString& title,
                             QWidget* parent)
    : Screen(parent), m_ctx(context), m_screenName(screenName), m_returnFocus(QApplication::focusWidget()) {
    setObjectName(screenName);
    setWindowTitle(m_ctx.state.ProgramTitle);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    ui::setBackground(this, kBackground);

    auto* band = new QWidget(this);
    band->setObjectName(u"titleBand"_s);
    band->setGeometry(0, 0, ui::kScreenWidth, kBandHeight);
    ui::setBackground(band, kBand);
    QLabel* titleLabel =
        ui::makeLabel(band, u"titleLabel"_s, title, QRect(20, 10, 180, 44), ui::uiFont(22, true));
    m_subtitle =
        ui::makeLabel(band, u"subtitleLabel"_s, QString(), QRect(200, 10, 420, 44), ui::uiFont(14, true));
    for (QLabel* label : {titleLabel, m_subtitle})
        ui::setTextColour(label, Qt::white);
    m_printButton =
        ui::makeButton(band, u"printButton"_s, u"印刷"_s, QRect(630, 10, 110, 44), ui::uiFont(15, true));
    m_csvButton =
        ui::makeButton(band, u"csvButton"_s, u"CSV出力"_s, QRect(750, 10, 124, 44), ui::uiFont(15, true));
    m_backButton =
        ui::makeButton(band, u"backButton"_s, u"戻る"_s, QRect(884, 10, 120, 44), ui::uiFont(16, true));
    for (QPushButton* button : {m_printButton, m_csvButton, m_backButton})
        button->setAutoDefault(true);
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(m_csvButton, &QPushButton::clicked, this, [this] { exportCsv(); });
    connect(m_backButton, &QPushButton::clicked, this, &InsightScreen::goBack);

    // Over the whole screen while the log is read, as the results screen's.
    m_waitPanel = new QWidget(this);
    m_waitPanel->setObjectName(u"waitPanel"_s);
    m_waitPanel->setGeometry(0, 0, ui::kScreenWidth, ui::kScreenHeight);
    ui::setBackground(m_waitPanel, kBackground);
    QLabel* waitLabel = ui::makeLabel(m_waitPanel, u"waitLabel"_s, u"Just a moment, please."_s,
                                      QRect(0, 320, ui::kScreenWidth, 60), ui::uiFont(28, true));
    waitLabel->setAlignment(Qt::AlignCenter);
    m_progress = new QProgressBar(m_waitPanel);
    m_progress->setObjectName(u"waitProgress"_s);
    m_progress->setGeometry(262, 400, 500, 26);
    m_progress->setTextVisible(false);
    m_waitPanel->hide();
}

bool InsightScreen::pump() {
    QPointer<InsightScreen> guard(this);
    m_ctx.platform.events->processEvents();
    return guard && !m_ctx.platform.app->endRequested();
}

bool InsightScreen::readAnswerLog(const StudentFilter& students, const AnswerChunk& onChunk) {
    const Platform& platform = m_ctx.platform;
    QPointer<InsightScreen> guard(this);
    m_reading = true;
    m_waitPanel->raise();
    m_waitPanel->show();
    // The bar runs over the answers the log holds now; a few more may come while it is read.
    const std::int64_t bytes = platform.disk->fileSize(StorePaths::of(m_ctx.state).answers);
    const std::int64_t expected =
        std::max<std::int64_t>(1, (bytes - answerlog::kHeaderSize) / answerlog::kRecordSize);
    m_progress->setMaximum(static_cast<int>(std::min<std::int64_t>(expected, INT32_MAX)));
    m_progress->setValue(0);
    if (!pump())
        return false;

    bool stopped = false;
    std::int64_t lookedAt = 0;
    // While the share is known to be away, one try: the teacher is told at once.
    const StoreResult<std::int64_t> scanned =
        openResultStore(m_ctx, m_ctx.state.ShareAway == 0)
            ->scanAnswers(
                [&](const LoggedAnswer* answers, std::int64_t count) {
                    if (stopped)
                        return;
                    onChunk(answers, count);
                    lookedAt += kAnswersPerScanStep;
                    m_progress->setValue(
                        static_cast<int>(std::min<std::int64_t>(lookedAt, m_progress->maximum())));
                    stopped = !pump();
                },
                students);
    if (stopped || !guard || platform.app->endRequested())
        return false;
    m_waitPanel->hide();
    m_reading = false;
    if (!scanned) {
        const QString text = storeErrorMessage(scanned.error());
        if (!text.isEmpty())
            platform.messages->show(text, m_ctx.state.ProgramTitle, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    return true;
}

void InsightScreen::printDocument(const PaperJob& job, const std::function<void(DrawingSurface&)>& draw) {
    const OpenedDocument opened = openPrintDocument(m_ctx.platform, job);
    if (!opened.document)
        return;
    draw(*opened.document);
    const bool ended = opened.document->endDocument();
    reportPrintEnd(m_ctx.platform, job, opened, ended);
}

void InsightScreen::saveCsv(const QString& fileName, const QByteArray& bytes, const QString& doneText) {
    const Platform& platform = m_ctx.platform;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QPointer<InsightScreen> guard(this);
    const QString path =
        platform.files->saveFileName(u"CSVファイルに書き出す"_s, folder + u'/' + fileName, u"CSV (*.csv)"_s);
    if (!guard || path.isEmpty())
        return;
    const QString error = writeWholeFile(path, bytes);
    if (error.isEmpty())
        platform.messages->show(doneText + u"\r\n"_s + path, m_ctx.state.ProgramTitle, MessageButtons::Ok,
                                MessageIcon::Information);
    else
        platform.messages->show(
            u"CSVファイルを書き出せませんでした。書きかけのファイルは残っていません。\r\n"_s + path +
                u"\r\n"_s + error,
            u"注意"_s, MessageButtons::Ok, MessageIcon::Warning);
}

void InsightScreen::goBack() {
    if (m_reading || !m_ctx.platform.screens)
        return;
    QPointer<QWidget> returnFocus = m_returnFocus;
    m_ctx.platform.screens->close(m_screenName);
    if (returnFocus && returnFocus->isVisible())
        returnFocus->setFocus();
}

bool InsightScreen::screenKeyPress(QObject* receiver, QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape)
        return false;
    goBack();
    return true;
}

} // namespace mirai
