#pragma once

#include "Context.h"
#include "PrintEngine.h"
#include "PrintOutput.h"
#include "Screen.h"

#include <memory>

class QCheckBox;

namespace mirai {

class PreviewPicture;
class PrintState;

// The print screen: a page preview of the prepared worksheet, and "印刷", which draws the same
// page on the printer (or into a PDF file on a station without one).
class frmPrint : public Screen {
    Q_OBJECT
public:
    frmPrint(Context context, std::shared_ptr<PrintState> print, QWidget* parent = nullptr);
    ~frmPrint() override;

    void activate() override;

    void RunLayout();
    void PrintPage();

    // Event handlers, also driven by tests.
    void command8Click(); // "戻る"
    void command9Click(); // "印刷"

    PrintEngine& engine() { return m_engine; }
    const QImage& previewImage() const;
    bool isPrinting() const { return m_printing; }

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void setCheck1(int value);
    bool letEventsRun();
    void discardDocument();

    Context m_ctx;
    std::shared_ptr<PrintState> m_print;
    PrintEngine m_engine;
    OpenedDocument m_opened;

    bool m_drawing = false;
    bool m_redrawRequested = false;
    bool m_printRequested = false;
    bool m_printing = false;
    bool m_closing = false;

    QWidget* m_picture5 = nullptr;
    PreviewPicture* m_picture1 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check2 = nullptr;
};

} // namespace mirai
