#pragma once

#include "Context.h"

#include <QString>
#include <cstdint>

namespace mirai {

// Key codes of the arrow keys as the answer rules know them.
namespace keycode {
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
} // namespace keycode

// Display text of a number: shortest decimal form, exponent form only where needed.
QString answerDisplayText(double value);

// The answer after Left (x 1/10) or Right (x 10). A result that is not finite, or that would
// sink below the normal range of a double, leaves the text as it is, so every step can be
// undone by the opposite arrow.
QString shiftedAnswer(const QString& inputText, int arrowCode);

// What the answer rules need from the drill screen. Each call that may let window events run
// returns false when the caller must stop at once (the screen is gone or the program ends).
class AnswerHost {
public:
    virtual ~AnswerHost() = default;
    virtual void showInput(const QString& text) = 0;         // inputLabel
    virtual void showCorrectAnswer(const QString& text) = 0; // seitouLabel and Label11
    virtual void hideCorrectAnswer() = 0;
    virtual void setAcknowledgePromptVisible(bool visible) = 0; // Commandkakunin2
    virtual void showRemaining(int remaining) = 0;              // sLabel9
    virtual bool letPaint() = 0;
    virtual bool makeNextProblem() = 0; // 問題作成表示
    // Stops the run clock, marks the run finished and hands over to recording.
    virtual bool completeRun() = 0;
    // An answer was judged: the text as judged and whether it was right.
    virtual void answerJudged(const QString& typed, bool right) = 0;
};

// Answer entry and judging of one drill screen: the typed answer, the judgement, and the
// acknowledgement of a wrong answer with "+" twice. The run flags live in the shared state.
class AnswerEntry {
public:
    AnswerEntry(Context ctx, AnswerHost& host) : m_ctx(ctx), m_host(host) {}

    // A typed character (space judges, backspace 8 deletes). False: stop at once.
    bool typeCharacter(char16_t k);
    // Left, Up, Right (37, 38, 39); other codes do nothing.
    void arrowKey(int code);

    void 判定();
    bool 判定後処理();
    bool 確認();

    // A new problem: its answer becomes the one judged against.
    void setCorrectAnswer(const QString& answer) { m_correctAnswer = answer; }
    void clearInput() { m_inputText.clear(); }
    void resetJudgement() { m_judgeResult = 0; }

    const QString& InputText() const { return m_inputText; }
    const QString& CorrectAnswer() const { return m_correctAnswer; }
    std::int16_t JudgeResult() const { return m_judgeResult; }

private:
    bool runOver() const;

    Context m_ctx;
    AnswerHost& m_host;
    QString m_inputText;
    QString m_correctAnswer;
    std::int16_t m_judgeResult = 0;
};

} // namespace mirai
