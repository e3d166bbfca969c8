#include "DesktopPlatform.h"

#include "ScreenManager.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <SDL.h>

using namespace Qt::StringLiterals;

namespace mirai {

MessageAnswer QtMessageBoxes::show(const QString& text, const QString& title, MessageButtons buttons,
                                   MessageIcon icon) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    switch (buttons) {
    case MessageButtons::Ok:
        box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        break;
    case MessageButtons::OkCancel:
        box.addButton(u"OK"_s, QMessageBox::AcceptRole);
        cancel = box.addButton(u"キャンセル"_s, QMessageBox::RejectRole);
        break;
    case MessageButtons::YesNo:
        yes = box.addButton(u"はい"_s, QMessageBox::YesRole);
        box.addButton(u"いいえ"_s, QMessageBox::NoRole);
        break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (buttons == MessageButtons::YesNo)
        return clicked == yes ? MessageAnswer::Yes : MessageAnswer::No;
    if (cancel && (clicked == cancel || clicked == nullptr))
        return MessageAnswer::Cancel;
    return MessageAnswer::Ok;
}

QString QtFileDialogs::saveFileName(const QString& title, const QString& proposed, const QString& filter) {
    QDir().mkpath(QFileInfo(proposed).absolutePath());
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

void QtAppControl::endProgram() {
    if (endRequested())
        return;
    markEnded();
    m_screens.closeAll();
    QCoreApplication::exit(0);
}

SdlMediaPlayer::~SdlMediaPlayer() {
    if (m_initialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlMediaPlayer::ensureAudio() {
    if (m_initialised)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        m_lastDetail = QString::fromUtf8(SDL_GetError());
        return false;
    }
    m_initialised = true;
    return true;
}

int SdlMediaPlayer::send(const QString& command) {
    const QString path = playCommandPath(command);
    if (path.isEmpty())
        return MediaBadCommand;
    if (!QFileInfo(path).isFile())
        return MediaFileNotFound;
    if (!ensureAudio())
        return MediaNoDevice;

    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    const QByteArray nativePath = QFile::encodeName(path);
    if (!SDL_LoadWAV(nativePath.constData(), &format, &buffer, &length)) {
        m_lastDetail = QString::fromUtf8(SDL_GetError());
        return MediaBadFile;
    }
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &format, nullptr, 0);
    if (device == 0) {
        m_lastDetail = QString::fromUtf8(SDL_GetError());
        SDL_FreeWAV(buffer);
        return MediaNoDevice;
    }
    const int queued = SDL_QueueAudio(device, buffer, length);
    SDL_FreeWAV(buffer);
    if (queued != 0) {
        m_lastDetail = QString::fromUtf8(SDL_GetError());
        SDL_CloseAudioDevice(device);
        return MediaNoDevice;
    }
    SDL_PauseAudioDevice(device, 0);
    while (SDL_GetQueuedAudioSize(device) > 0)
        QThread::msleep(5);
    // The device still holds its last buffer once the queue is empty: let it play out.
    const int tailMs = format.freq > 0 ? 1000 * format.samples / format.freq + 10 : 50;
    QThread::msleep(static_cast<unsigned long>(tailMs));
    SDL_CloseAudioDevice(device);
    return MediaOk;
}

QString SdlMediaPlayer::errorText(int error) const {
    QString text;
    switch (error) {
    case MediaOk:
        return u"エラーはありません。"_s;
    case MediaBadCommand:
        text = u"コマンドが正しくありません。"_s;
        break;
    case MediaFileNotFound:
        text = u"指定されたサウンドファイルが見つかりません。"_s;
        break;
    case MediaBadFile:
        text = u"サウンドファイルを読み込めません。"_s;
        break;
    case MediaNoDevice:
        text = u"サウンドデバイスを使用できません。"_s;
        break;
    default:
        text = u"不明なエラーです。"_s;
        break;
    }
    if (!m_lastDetail.isEmpty() && error != MediaBadCommand && error != MediaFileNotFound)
        text += u" ("_s + m_lastDetail + u")"_s;
    return text.left(255);
}

} // namespace mirai
