#include "DesktopPlatform.h"

#include "ScreenManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <SDL.h>
#include <algorithm>
#include <cstring>

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

QString QtFileDialogs::openFileName(const QString& title, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, folder, filter);
}

QString QtFileDialogs::folderName(const QString& title, const QString& proposed) {
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, proposed);
}

void QtAppControl::endProgram() {
    if (endRequested())
        return;
    markEnded();
    m_screens.closeAll();
    QCoreApplication::exit(0);
}

namespace {

// The device's format: what nearly every device plays natively.
constexpr int kDeviceRate = 48000;
constexpr int kDeviceChannels = 2;
// About 10 ms a buffer at 48 kHz: the last buffer is all a cue waits for after its queue drains.
constexpr int kBufferFrames = 512;
// A device that stops taking samples is given up after the sound's length and this much more.
constexpr int kStallMs = 2000;

QString sdlError() {
    return QString::fromUtf8(SDL_GetError());
}

} // namespace

SdlMediaPlayer::~SdlMediaPlayer() {
    closeDevice();
    if (m_initialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlMediaPlayer::ensureAudio() {
    if (m_initialised)
        return true;
    // SDL would turn SIGINT and SIGTERM into events nobody reads: the program could then no
    // longer be ended by a log-out or a shutdown.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        m_lastDetail = sdlError();
        return false;
    }
    m_initialised = true;
    return true;
}

bool SdlMediaPlayer::ensureDevice() {
    if (m_device != 0 && SDL_GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED)
        return true;
    closeDevice();
    SDL_AudioSpec wanted{};
    wanted.freq = kDeviceRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kDeviceChannels;
    wanted.samples = kBufferFrames;
    SDL_AudioSpec obtained{};
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained,
                                   SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (m_device == 0) {
        m_lastDetail = sdlError();
        return false;
    }
    m_rate = obtained.freq;
    m_channels = obtained.channels;
    m_bufferFrames = obtained.samples;
    return true;
}

void SdlMediaPlayer::closeDevice() {
    if (m_device != 0)
        SDL_CloseAudioDevice(m_device);
    m_device = 0;
}

int SdlMediaPlayer::send(const QString& command) {
    const QString path = playCommandPath(command);
    if (path.isEmpty())
        return MediaBadCommand;
    QByteArray samples;
    if (const int error = samplesOf(path, samples))
        return error;
    return play(samples);
}

void SdlMediaPlayer::preload(const QString& path) {
    QByteArray samples;
    samplesOf(path, samples);
}

int SdlMediaPlayer::samplesOf(const QString& path, QByteArray& samples) {
    if (const auto kept = m_sounds.constFind(path); kept != m_sounds.constEnd()) {
        if (!ensureAudio() || !ensureDevice())
            return MediaNoDevice;
        samples = *kept;
        return MediaOk;
    }
    if (!QFileInfo(path).isFile())
        return MediaFileNotFound;
    if (!ensureAudio() || !ensureDevice())
        return MediaNoDevice;

    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    const QByteArray nativePath = QFile::encodeName(path);
    if (!SDL_LoadWAV(nativePath.constData(), &format, &buffer, &length)) {
        m_lastDetail = sdlError();
        return MediaBadFile;
    }
    SDL_AudioCVT convert{};
    if (SDL_BuildAudioCVT(&convert, format.format, format.channels, format.freq, AUDIO_S16SYS,
                          static_cast<Uint8>(m_channels), m_rate) < 0) {
        m_lastDetail = sdlError();
        SDL_FreeWAV(buffer);
        return MediaBadFile;
    }
    samples = QByteArray(static_cast<qsizetype>(length) * std::max(1, convert.len_mult), Qt::Uninitialized);
    std::memcpy(samples.data(), buffer, length);
    SDL_FreeWAV(buffer);
    if (convert.needed) {
        convert.buf = reinterpret_cast<Uint8*>(samples.data());
        convert.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&convert) != 0) {
            m_lastDetail = sdlError();
            return MediaBadFile;
        }
        samples.truncate(convert.len_cvt);
    } else {
        samples.truncate(length);
    }
    m_sounds.insert(path, samples);
    return MediaOk;
}

int SdlMediaPlayer::play(const QByteArray& samples) {
    SDL_ClearQueuedAudio(m_device);
    if (SDL_QueueAudio(m_device, samples.constData(), static_cast<Uint32>(samples.size())) != 0) {
        m_lastDetail = sdlError();
        closeDevice();
        return MediaNoDevice;
    }
    const qint64 bytesPerSecond = static_cast<qint64>(m_rate) * m_channels * 2;
    const qint64 soundMs = bytesPerSecond > 0 ? samples.size() * 1000 / bytesPerSecond : 0;
    QElapsedTimer elapsed;
    elapsed.start();
    SDL_PauseAudioDevice(m_device, 0);
    while (SDL_GetQueuedAudioSize(m_device) > 0) {
        if (elapsed.elapsed() > soundMs + kStallMs) {
            m_lastDetail = u"再生が止まりました"_s;
            closeDevice();
            return MediaNoDevice;
        }
        QThread::msleep(2);
    }
    // The queue is empty once the device has taken its last buffer: let that buffer play out.
    if (m_rate > 0)
        QThread::usleep(static_cast<unsigned long>(1000000LL * m_bufferFrames / m_rate));
    SDL_PauseAudioDevice(m_device, 1);
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
