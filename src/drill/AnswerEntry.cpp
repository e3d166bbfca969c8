#include "AnswerEntry.h"

#include "NumberText.h"
#include "SharedState.h"
#include "SoundCues.h"

#include <cfloat>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirai {

QString answerDisplayText(double value) {
    return numberText(value);
}

QString shiftedAnswer(const QString& inputText, int arrowCode) {
    const double value = Val(inputText);
    const double shifted = arrowCode == keycode::Left ? value / 10.0 : value * 10.0;
    if (!std::isfinite(shifted) || (shifted != 0.0 && std::fabs(shifted) < DBL_MIN))
        return inputText;
    return answerDisplayText(shifted);
}

bool AnswerEntry::runOver() const {
    return m_ctx.state.TimedOut != 0 || m_ctx.state.RunFinished != 0;
}

bool AnswerEntry::typeCharacter(char16_t k) {
    SharedState& state = m_ctx.state;
    if (runOver() || state.JudgingBusy == 1)
        return true;

    if (state.PlusMode >= 1) {
        if (k == u'+' && state.PlusMode == 1)
            state.PlusMode = 2;
        else if (k == u'+' && state.PlusMode == 2)
            return 確認();
        else
            state.PlusMode = 1;
        return true;
    }

    if (k == u' ') {
        state.JudgingBusy = 1;
        判定();
        // The judgement may end the run and close the screen that owns this object.
        const bool goOn = 判定後処理();
        state.JudgingBusy = 0;
        return goOn;
    }
    if (k == 8) {
        if (!m_inputText.isEmpty()) {
            m_inputText.chop(1);
            m_host.showInput(m_inputText);
        }
        return true;
    }
    if (m_inputText.size() >= 6) {
        PlayWarningSound(m_ctx);
        return true;
    }
    if (k >= 42 && k <= 57 && k != u'+' && k != u'.') {
        m_inputText += QChar(k);
        m_host.showInput(m_inputText);
    }
    return true;
}

void AnswerEntry::arrowKey(int code) {
    switch (code) {
    case keycode::Left:
    case keycode::Right:
        m_inputText = shiftedAnswer(m_inputText, code);
        m_host.showInput(m_inputText);
        break;
    case keycode::Up:
        m_inputText.clear();
        m_host.showInput(QString());
        break;
    default:
        break;
    }
}

void AnswerEntry::判定() {
    if (runOver()) {
        m_ctx.state.JudgingBusy = 0;
        return;
    }
    m_judgeResult = Val(m_inputText) == Val(m_correctAnswer) ? 1 : 2;
    m_host.answerJudged(m_inputText, m_judgeResult == 1);
}

bool AnswerEntry::判定後処理() {
    if (runOver())
        return true;
    SharedState& state = m_ctx.state;
    const int perRun = state.ProblemsPerRun;
    if (m_judgeResult == 1) {
        m_judgeResult = 0;
        if (!PlayCorrectSound(m_ctx))
            return false;
        state.CorrectCount += 1;
        m_host.showRemaining(perRun - state.CorrectCount);
        if (state.CorrectCount < perRun) {
            state.JudgingBusy = 0;
            m_inputText.clear();
            return m_host.makeNextProblem();
        }
        return m_host.completeRun();
    }

    state.PlusMode = 1;
    m_host.showCorrectAnswer(m_correctAnswer);
    if (!m_host.letPaint())
        return false;
    if (!PlayWrongSound(m_ctx))
        return false;
    state.CorrectCount = std::max(0, state.CorrectCount - 1);
    m_host.showRemaining(perRun - state.CorrectCount);
    state.JudgingBusy = 0;
    m_host.setAcknowledgePromptVisible(true);
    return true;
}

bool AnswerEntry::確認() {
    m_host.setAcknowledgePromptVisible(false);
    m_ctx.state.PlusMode = 0;
    m_host.showInput(QString());
    m_host.hideCorrectAnswer();
    m_inputText.clear();
    return m_host.makeNextProblem();
}

} // namespace mirai
