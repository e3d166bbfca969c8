#include "frmPrint.h"

#include "EventPump.h"
#include "Platform.h"
#include "PreviewPicture.h"
#include "PrintScreens.h"
#include "PrintTable.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "TableLayout.h"
#include "UiSupport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <utility>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kLeftStrip = kLeftStripTwips / ui::kTwipsPerPixel;
constexpr int kWidth = ui::kScreenWidth - kLeftStrip;

} // namespace

frmPrint::frmPrint(Context context, std::shared_ptr<PrintState> print, QWidget* parent)
    : Screen(parent), m_ctx(context), m_print(std::move(print)), m_engine(ui::uiFamily()) {
    setWindowTitle(u"印刷"_s);
    setFixedSize(kWidth, ui::kScreenHeight);
    move(kLeftStrip, 0);
    buildControls();
    installScreenFilter();

    // The device setting of the preparation has no meaning for the printers of this system: the
    // print dialog's own choices hold.
    m_engine.PrinterScale = 0.89;
    m_engine.setPreviewBox(m_picture1);
    m_engine.setPrintService(m_ctx.platform.printing);
    m_engine.setEventHook([this] { return letEventsRun(); });
    m_engine.InitializePrintSurface(0, 1);
}

frmPrint::~frmPrint() {
    discardDocument();
}

void frmPrint::buildControls() {
    m_picture5 = new QWidget(this);
    m_picture5->setObjectName(u"Picture5"_s);
    ui::setBackground(m_picture5, QColor(96, 108, 124));

    m_picture1 = new PreviewPicture(m_picture5);
    m_picture1->setObjectName(u"Picture1"_s);
    m_picture1->move(ui::px(kLeftStripTwips), ui::px(315));

    const QFont buttonFont = ui::uiFont(16, true);
    QPushButton* command9 =
        ui::makeButton(m_picture5, u"Command9"_s, u"印刷"_s, QRect(24, 40, 198, 72), buttonFont);
    connect(command9, &QPushButton::clicked, this, &frmPrint::command9Click);
    QPushButton* command8 =
        ui::makeButton(m_picture5, u"Command8"_s, u"戻る"_s, QRect(24, 132, 198, 72), buttonFont);
    connect(command8, &QPushButton::clicked, this, &frmPrint::command8Click);

    const bool printer = m_ctx.platform.printing && m_ctx.platform.printing->hasPrinter();
    QLabel* note =
        ui::makeLabel(m_picture5, u"LabelPrinter"_s,
                      printer ? u"「印刷」で印刷の画面が開きます。\nPDFファイルにも保存できます。"_s
                              : u"プリンターがないため、「印刷」でPDFファイルに保存します。"_s,
                      QRect(24, 224, 198, 96), ui::uiFont(10.5));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui::setTextColour(note, Qt::white);

    // The hidden boxes the drawing reads: "印刷" while drawing for the printer, "縦横" the
    // orientation (1 portrait).
    m_check1 = new QCheckBox(u"印刷"_s, m_picture5);
    m_check1->setObjectName(u"Check1"_s);
    m_check1->hide();
    m_check2 = new QCheckBox(u"縦横"_s, m_picture5);
    m_check2->setObjectName(u"Check2"_s);
    m_check2->setChecked(true);
    m_check2->hide();
}

const QImage& frmPrint::previewImage() const {
    return m_picture1->image();
}

void frmPrint::activate() {
    m_picture5->setGeometry(0, 0, width(), height());
    m_picture1->show();
    RunLayout();
}

void frmPrint::setCheck1(int value) {
    m_check1->setChecked(value == 1);
    m_engine.InitializePrintSurface(value, m_check2->isChecked() ? 1 : 0);
}

bool frmPrint::letEventsRun() {
    QPointer<frmPrint> guard(this);
    if (m_engine.ToPrinter == 0)
        m_picture1->update();
    m_ctx.platform.events->processEvents();
    if (!guard || m_closing)
        return false;
    // A new table stops the preview (it starts again), never the page being printed.
    return !(m_redrawRequested && m_engine.ToPrinter == 0);
}

void frmPrint::RunLayout() {
    if (m_drawing) {
        m_redrawRequested = true;
        return;
    }
    m_drawing = true;
    do {
        m_redrawRequested = false;
        const int portrait = m_print->PrintSettings.orientation == 1 ? 1 : 0;
        if ((m_check2->isChecked() ? 1 : 0) != portrait) {
            m_check2->setChecked(portrait == 1);
            m_engine.InitializePrintSurface(m_check1->isChecked() ? 1 : 0, portrait);
        }
        m_engine.resume();
        if (m_print->PrintSettings.layout == 2)
            DrawTableLayout(m_engine, m_print->sheet());
        if (m_engine.ToPrinter == 0)
            m_picture1->finish();
    } while (m_redrawRequested && !m_closing && m_engine.ToPrinter == 0);
    m_drawing = false;
    if (m_printRequested && !m_closing && !m_printing) {
        m_printRequested = false;
        PrintPage();
    }
}

void frmPrint::PrintPage() {
    if (m_printing || m_closing)
        return;
    m_printing = true;
    const PaperJob job{m_ctx.state.ProgramTitle, u"プリント"_s, m_engine.Orientation, QDir::homePath()};
    m_opened = openPrintDocument(m_ctx.platform, job);
    if (!m_opened.document || m_closing) {
        discardDocument();
        m_printing = false;
        return;
    }
    m_engine.setPrinterPage(m_opened.document.get());
    setCheck1(1);
    RunLayout();
    if (m_closing) {
        // Closed while the page was drawn: the document is discarded already.
        m_printing = false;
        return;
    }
    const bool ended = m_opened.document->endDocument();
    const OpenedDocument done = std::exchange(m_opened, OpenedDocument{});
    m_engine.setPrinterPage(nullptr);
    setCheck1(0);
    RunLayout();
    m_printing = false;
    reportPrintEnd(m_ctx.platform, job, done, ended);
}

void frmPrint::discardDocument() {
    if (m_opened.document)
        m_opened.document->discardDocument();
    m_opened = OpenedDocument{};
    m_engine.setPrinterPage(nullptr);
    if (m_engine.ToPrinter == 1)
        m_engine.OutputTarget = nullptr;
}

void frmPrint::command9Click() {
    if (m_printing)
        return;
    if (m_drawing) {
        // Printed once the preview in progress is finished.
        m_printRequested = true;
        return;
    }
    PrintPage();
}

void frmPrint::command8Click() {
    m_closing = true;
    discardDocument();
    if (m_ctx.platform.screens)
        m_ctx.platform.screens->close(screens::frmPrint());
}

bool frmPrint::screenKeyPress(QObject*, QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        command8Click();
        return true;
    }
    return false;
}

void frmPrint::closeEvent(QCloseEvent* event) {
    // Closing the window by other means goes the way of "戻る".
    event->ignore();
    command8Click();
}

void frmPrint::hideEvent(QHideEvent* event) {
    // Hidden by the program (not minimised): the screen is closing, with everything on it.
    if (!event->spontaneous() && !m_closing) {
        m_closing = true;
        discardDocument();
    }
    Screen::hideEvent(event);
}

} // namespace mirai
