#pragma once

#include "AnswerEntry.h"
#include "Context.h"
#include "Problems.h"
#include "Screen.h"

#include <array>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTimer;

namespace mirai {

class GradientPanel;
class ShapeBar;

// The drill screen: one run of ten net right answers against the clock.
class MainFrm : public Screen, private AnswerHost {
    Q_OBJECT
public:
    explicit MainFrm(Context context, QWidget* parent = nullptr);
    ~MainFrm() override;

    // Set-up, clock start and first problem; the screen manager calls it once per display.
    void activate() override;

    void 初期設定();
    void レベル別設定();
    void スタート();
    void 終了() {}
    // Makes and shows a new problem for CurrentLevel, unless the run is over or judging.
    void 問題作成表示();
    // Ends the run: records it and hands over to the end screen. False: stop at once (the
    // program is ending).
    bool FinishRun();

    // Timer handlers, public so that a test drives them with its own clock.
    void sTimer1Tick(); // run clock, every second
    void sTimer2Tick(); // minutes display, every 10 s
    void timer1Tick();  // hint delay

    const AnswerEntry& answers() const { return m_answers; }
    const Problem& problem() const { return m_problem; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // AnswerHost
    void showInput(const QString& text) override;
    void showCorrectAnswer(const QString& text) override;
    void hideCorrectAnswer() override;
    void setAcknowledgePromptVisible(bool visible) override;
    void showRemaining(int remaining) override;
    bool letPaint() override;
    bool makeNextProblem() override;
    bool completeRun() override;
    void answerJudged(const QString& typed, bool right) override;
    // A run left before its end (the program ends meanwhile) keeps its answers all the same.
    void closing() override;

    void buildStatusArea();
    void buildProblemArea();
    void buildEndPanel();
    void setKeyFilter(bool on);
    bool handleKey(QKeyEvent* event);
    void setElapsedBar(double width);

    Context m_ctx;
    AnswerEntry m_answers;
    Problem m_problem;
    std::int64_t m_problemShownMs = 0; // tick when the problem appeared
    bool m_hintShown = false;          // the hint panel shows for the problem on screen
    bool m_keyFilterOn = false;

    // Status area.
    GradientPanel* m_sPicture1 = nullptr;
    QLabel* m_sLabel2 = nullptr;
    QLabel* m_sLabel7 = nullptr;
    QLabel* m_sLabel8 = nullptr;
    QLabel* m_sLabel9 = nullptr;
    QLabel* m_sLabel10 = nullptr;
    QLabel* m_sLabel11 = nullptr;
    QLabel* m_sLabel12 = nullptr;
    QLabel* m_sLabel13 = nullptr;
    QLabel* m_sLabel14 = nullptr;
    ShapeBar* m_sShape2 = nullptr;
    ShapeBar* m_sShape3 = nullptr;
    ShapeBar* m_sShape4 = nullptr;
    ShapeBar* m_sShape5 = nullptr;
    ShapeBar* m_sShape7 = nullptr;
    QWidget* m_sPicture2 = nullptr;
    QLabel* m_lblsss1 = nullptr;
    QLabel* m_lblsss2 = nullptr;
    QTimer* m_sTimer1 = nullptr;
    QTimer* m_sTimer2 = nullptr;

    // Problem area.
    QLabel* m_qLabel1 = nullptr;
    QLabel* m_Label6 = nullptr;
    QLabel* m_qlabel2 = nullptr;
    QLabel* m_inputLabel = nullptr;
    QLabel* m_Label11 = nullptr;
    QLabel* m_seitouLabel = nullptr;
    QLabel* m_Commandkakunin2 = nullptr;
    QPushButton* m_Commandkakunin = nullptr;
    GradientPanel* m_Picture2 = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label5 = nullptr;
    std::array<QLabel*, 6> m_Image1{}; // 1..5, 1 rightmost
    QTimer* m_Timer1 = nullptr;
};

} // namespace mirai
