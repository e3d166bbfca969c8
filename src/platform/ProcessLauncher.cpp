#include "ProcessLauncher.h"

#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace mirai {

bool QtProcessLauncher::startDetached(const QString& program, const QStringList& arguments, QString* error) {
    if (!QFileInfo(program).isFile()) {
        if (error)
            *error = u"プログラムが見つかりません"_s;
        return false;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

} // namespace mirai
