#pragma once

#include <future>
#include <thread>

namespace platine {

// Work the start does on a second thread while the main thread starts the toolkit, so that the
// first window does not wait for it. In order:
//   1. the font configuration's files and caches (where the toolkit finds its fonts through
//      fontconfig): the first text measured or drawn would otherwise load them, about 8 ms;
//   2. once the toolkit is up: the splash's pictures decoded or, without the splash, the list of
//      image readers, which the first icon loaded (the menu bar's) would otherwise build.
// The thread touches the toolkit only after toolkitStarted(): the toolkit takes the first
// thread that touches it for its main thread. Without a thread (none could be started) the
// main thread does all of this itself, when it first needs it.
class StartupPreload
{
public:
    StartupPreload();
    // Waits for the thread (finish()).
    ~StartupPreload();

    StartupPreload(const StartupPreload &) = delete;
    StartupPreload &operator=(const StartupPreload &) = delete;

    // Called once the application object exists, with the device pixels per pixel of the
    // splash's pictures, or 0 when no splash is shown.
    void toolkitStarted(int splashScale);
    // Waits for the thread, whose work takes a few milliseconds at most; before the application
    // object goes, since the thread may be using the toolkit.
    void finish();

private:
    std::promise<int> toolkit_;
    bool toolkitTold_ = false;
    std::thread thread_;
};

}  // namespace platine
