#pragma once

#include <QString>
#include <QStringList>

namespace mirai {

// Starts another program directly (no shell, so folder names cannot inject commands).
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // False with a readable reason when the program cannot be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments, QString* error) = 0;
};

class QtProcessLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments, QString* error) override;
};

} // namespace mirai
