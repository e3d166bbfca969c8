#pragma once

#include "Context.h"
#include "PrintTable.h"
#include "Screen.h"

#include <memory>

class QButtonGroup;
class QCheckBox;
class QListWidget;

namespace mirai {

// The worksheet preparation: levels, a blanking option and the shuffle; it prepares the print
// table at once and on every change, and opens the print screen beside itself.
class FormPrint0 : public Screen {
    Q_OBJECT
public:
    FormPrint0(Context context, std::shared_ptr<PrintState> print, QWidget* parent = nullptr);

    void activate() override;

    void PreparePrintTable();
    // The choices as the controls show them.
    PrintChoices choices() const;

    // Event handlers, also driven by tests.
    void command1Click(); // "印刷へ"
    void command2Click(); // "もどる"
    void command3Click(); // "再並べ替え"

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    // A changed choice prepares the table again, once the screen has opened.
    void choiceChanged();
    QString sourcePath() const;

    Context m_ctx;
    std::shared_ptr<PrintState> m_print;
    bool m_opened = false;      // prepared once when the screen opened
    bool m_toldMissing = false; // the missing source was told; told again only after it was read

    QListWidget* m_list1 = nullptr;
    QButtonGroup* m_option1 = nullptr; // Option1(1..5), by id
    QCheckBox* m_check1 = nullptr;
};

} // namespace mirai
