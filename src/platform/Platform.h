#pragma once

namespace mirai {

class AppControl;
class Clock;
class EventPump;
class FileDialogs;
class FileSystem;
class MediaPlayer;
class MessageBoxes;
class PrintService;
class ProcessLauncher;
class Random;
class ScreenManager;

// The seams every procedure reaches the outside world through. main() fills it with the
// real adapters; tests fill it with doubles.
struct Platform {
    Clock* clock = nullptr;
    Random* random = nullptr;
    MediaPlayer* media = nullptr;
    MessageBoxes* messages = nullptr;
    EventPump* events = nullptr;
    FileSystem* disk = nullptr; // every read and write of the results
    ProcessLauncher* launcher = nullptr;
    AppControl* app = nullptr;
    ScreenManager* screens = nullptr;
    FileDialogs* files = nullptr;
    PrintService* printing = nullptr;
};

// Waits the given milliseconds on the tick clock, letting window events run meanwhile;
// returns early once the program is ending or an end is waiting.
void waitWhilePumping(const Platform& platform, int ms);

} // namespace mirai
