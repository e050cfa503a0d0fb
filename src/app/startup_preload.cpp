#include "app/startup_preload.h"

#include "app/splash_pictures.h"

#include <QImageReader>

#include <system_error>

#ifdef PLATINE_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platine {

namespace {
// Told to the thread when the program ends before any window.
constexpr int kNoWindow = -1;
}  // namespace

StartupPreload::StartupPreload()
{
    std::future<int> toolkit = toolkit_.get_future();
    try {
        thread_ = std::thread([toolkit = std::move(toolkit)]() mutable {
#ifdef PLATINE_HAS_FONTCONFIG
            // Safe beside the toolkit's own call: the configuration is loaded once and kept.
            FcInit();
#endif
            const int splashScale = toolkit.get();
            if (splashScale == kNoWindow)
                return;
            if (splashScale > 0)
                SplashPicture::decodeExpectedPictures();
            else
                QImageReader::supportedImageFormats();
        });
    } catch (const std::system_error &) {
        // No thread: the main thread does the same work when it first needs it.
    }
}

StartupPreload::~StartupPreload()
{
    finish();
}

void StartupPreload::finish()
{
    if (!toolkitTold_) {
        toolkitTold_ = true;
        toolkit_.set_value(kNoWindow);
    }
    if (thread_.joinable())
        thread_.join();
}

void StartupPreload::toolkitStarted(int splashScale)
{
    if (toolkitTold_)
        return;
    if (splashScale > 0)
        SplashPicture::expectShippedPictures(splashScale);
    toolkitTold_ = true;
    toolkit_.set_value(splashScale > 0 ? splashScale : 0);
}

}  // namespace platine
