#include "GraphPanel.h"

#include "Clock.h"
#include "DrawingSurface.h"
#include "FrmPicture.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "PainterSurface.h"
#include "Platform.h"
#include "PrintOutput.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// The panel lies over the list area, its place given in twips; the rest of the geometry is in
// pixels, with the controls in a column on the panel's right. The canvas is taller than the
// panel: a band is then tall enough for the figures to clear the band's rules, and the two graphs
// of this drill fit in view; a third band would scroll into view with the wheel or the keys.
constexpr int kPanelLeftTwips = 120;
constexpr int kPanelTopTwips = 1740;
constexpr int kPanelWidth = 1008;
constexpr int kPanelHeight = 600;
constexpr int kCanvasWidth = 820;
constexpr int kCanvasHeight = 900;
constexpr int kColumnGap = 6;

QListWidget* makeList(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->setFont(ui::uiFont(11, true));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    return list;
}

} // namespace

GraphPanel::GraphPanel(Context context, std::function<HubSettings()> hubSettings, QWidget* parent)
    : QWidget(parent), m_ctx(context), m_hubSettings(std::move(hubSettings)), m_figures(kLevelRows),
      m_canvas(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32) {
    setObjectName(u"Picture11"_s);
    m_canvas.fill(Qt::white);
    buildControls();
    hide();
}

void GraphPanel::buildControls() {
    setGeometry(ui::px(kPanelLeftTwips), ui::px(kPanelTopTwips), kPanelWidth, kPanelHeight);
    ui::setBackground(this, QColor(236, 240, 250));

    auto* view = new QScrollArea(this);
    view->setObjectName(u"Picture12View"_s);
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setGeometry(0, 0, kCanvasWidth, kPanelHeight);
    m_picture12 = ui::makeLabel(nullptr, u"Picture12"_s, QString(), QRect(0, 0, kCanvasWidth, kCanvasHeight),
                                ui::uiFont(10));
    m_picture12->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture12->setPixmap(QPixmap::fromImage(m_canvas));
    view->setWidget(m_picture12);

    const int left = kCanvasWidth + kColumnGap;
    const int width = kPanelWidth - left - kColumnGap;
    const auto column = [left, width](int top, int height) { return QRect(left, top, width, height); };
    m_command25 =
        ui::makeButton(this, u"Command25"_s, u"他の人のデータを見る"_s, column(8, 44), ui::uiFont(10, true));
    connect(m_command25, &QPushButton::clicked, this, &GraphPanel::command25Click);
    m_list2 = makeList(this, u"List2"_s, column(8, 300));
    m_list2->hide();
    connect(m_list2, &QListWidget::itemSelectionChanged, this, [this] { command24Click(0); });

    ui::makeLabel(this, u"Label27"_s, u"ﾚﾍﾞﾙ"_s, column(318, 24), ui::uiFont(12, true));
    m_list3 = makeList(this, u"List3"_s, column(342, 82));
    connect(m_list3, &QListWidget::itemSelectionChanged, this, [this] {
        if (isVisible())
            command24Click(0);
    });

    // Draw and print side by side; under them the teachers' way to the student's answers.
    const int half = (width - kColumnGap) / 2;
    m_command24[0] =
        ui::makeButton(this, u"Command24(0)"_s, u"表示"_s, QRect(left, 436, half, 44), ui::uiFont(14, true));
    m_command24[1] = ui::makeButton(this, u"Command24(1)"_s, u"印刷"_s,
                                    QRect(left + half + kColumnGap, 436, half, 44), ui::uiFont(14, true));
    m_command24[1]->hide();
    connect(m_command24[0], &QPushButton::clicked, this, [this] { command24Click(0); });
    connect(m_command24[1], &QPushButton::clicked, this, [this] { command24Click(1); });
    m_pictureButton =
        ui::makeButton(this, u"pictureButton"_s, u"答えの分析"_s, column(488, 44), ui::uiFont(13, true));
    m_pictureButton->setToolTip(u"この人の答えの誤りを、種類ごとに見ます"_s);
    m_pictureButton->hide();
    connect(m_pictureButton, &QPushButton::clicked, this, &GraphPanel::pictureClick);
    auto* command18 = ui::makeButton(this, u"Command18"_s, u"戻る"_s, column(548, 44), ui::uiFont(14, true));
    connect(command18, &QPushButton::clicked, this, &GraphPanel::command18Click);
}

void GraphPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Q_EMIT visibilityChanged(true);
}

void GraphPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Q_EMIT visibilityChanged(false);
}

void GraphPanel::FillGraphStudentList() {
    SharedState& state = m_ctx.state;
    QStringList lines;
    ReadRoster(state, m_ctx.platform.clock->today(), [&](const ListedRecord& record) {
        lines.append(graphStudentLine(state.GradeLabelByNumber[static_cast<std::size_t>(record.number)],
                                      record.name, record.number));
    });
    const QSignalBlocker blocker(m_list2);
    m_list2->clear();
    m_list2->addItems(lines);
}

void GraphPanel::fillLevelList(int levelCount) {
    const QSignalBlocker blocker(m_list3);
    m_list3->clear();
    for (int level = 1; level <= levelCount; ++level)
        m_list3->addItem(numberText(level));
}

void GraphPanel::setTeacherButtonsVisible(bool visible) {
    m_command24[1]->setVisible(visible);
    m_pictureButton->setVisible(visible);
}

const GraphFigures& GraphPanel::figures(int level) const {
    static const GraphFigures none;
    if (level < 0 || level >= static_cast<int>(m_figures.size()))
        return none;
    return m_figures[static_cast<std::size_t>(level)];
}

void GraphPanel::command17Click() {
    m_graphStudent = m_ctx.state.StudentNumber;
    m_list2->hide();
    m_command25->show();
    {
        const QSignalBlocker blocker2(m_list2);
        const QSignalBlocker blocker3(m_list3);
        m_list2->clearSelection();
        for (int row = 0; row < 3 && row < m_list3->count(); ++row)
            m_list3->item(row)->setSelected(true);
    }
    m_graphFontSize = kGraphFontPoints;
    const std::optional<RecordRange> range = readNewestRecords(m_ctx, kLoadWindow);
    if (!range)
        return;
    drawOnCanvas({m_graphStudent}, range->records);
    m_command24[0]->setFocus();
}

void GraphPanel::command25Click() {
    m_command25->hide();
    m_list2->show();
    m_list2->setFocus();
}

void GraphPanel::command18Click() {
    hide();
}

void GraphPanel::pictureClick() {
    openStudentPicture(m_ctx, m_graphStudent);
}

std::vector<int> GraphPanel::selectedLevels() const {
    std::vector<int> levels;
    for (int row = 0; row < m_list3->count(); ++row) {
        if (m_list3->item(row)->isSelected())
            levels.push_back(row + 1);
    }
    return levels;
}

std::vector<int> GraphPanel::selectedStudents() const {
    std::vector<int> students;
    for (int row = 0; row < m_list2->count(); ++row) {
        const QListWidgetItem* item = m_list2->item(row);
        if (!item->isSelected())
            continue;
        if (const std::optional<int> student = graphStudentOfLine(item->text()))
            students.push_back(*student);
    }
    return students;
}

GraphRequest GraphPanel::request(int student, bool printer) const {
    const HubSettings hub = m_hubSettings ? m_hubSettings() : HubSettings{};
    GraphRequest request;
    request.student = student;
    request.levels = selectedLevels();
    request.pointsOrder = hub.pointsOrder;
    request.groupText = hub.groupText;
    request.now = m_ctx.platform.clock->now();
    request.target.printer = printer;
    request.target.fontPoints = printer ? kGraphFontPoints : m_graphFontSize;
    request.target.family = ui::fixedPitchFamily();
    return request;
}

void GraphPanel::command24Click(int k) {
    std::vector<int> students = selectedStudents();
    if (students.empty())
        students.push_back(m_graphStudent);
    const std::optional<RecordRange> range = readNewestRecords(m_ctx, kLoadWindow);
    if (!range)
        return;
    if (k == 0)
        drawOnCanvas(students, range->records);
    else
        print(students, range->records);
}

void GraphPanel::showPanel() {
    raise();
    show();
}

void GraphPanel::drawOnCanvas(const std::vector<int>& students, const std::vector<ResultRecord>& records) {
    for (const int student : students) {
        m_graphStudent = student;
        PainterSurface surface(&m_canvas, ui::kTwipsPerPixel);
        GraphRequest graphs = request(student, false);
        graphs.newPageFirst = true;
        DrawGraphs(surface, m_ctx.state, records, graphs, m_figures);
        surface.flush();
    }
    m_picture12->setPixmap(QPixmap::fromImage(m_canvas));
    showPanel();
}

void GraphPanel::print(const std::vector<int>& students, const std::vector<ResultRecord>& records) {
    if (selectedLevels().empty()) {
        m_ctx.platform.messages->show(u"印刷するレベルを選んで下さい。"_s, m_ctx.state.ProgramTitle,
                                      MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    const PaperJob job{m_ctx.state.ProgramTitle, u"グラフ"_s, PageOrientation::Portrait, QDir::homePath()};
    const OpenedDocument opened = openPrintDocument(m_ctx.platform, job);
    if (!opened.document)
        return;
    // One document: each student starts on a sheet of his own.
    for (std::size_t i = 0; i < students.size(); ++i) {
        m_graphStudent = students[i];
        GraphRequest graphs = request(students[i], true);
        graphs.newPageFirst = i > 0;
        DrawGraphs(*opened.document, m_ctx.state, records, graphs, m_figures);
    }
    showPanel();
    const bool ended = opened.document->endDocument();
    reportPrintEnd(m_ctx.platform, job, opened, ended);
}

} // namespace mirai
