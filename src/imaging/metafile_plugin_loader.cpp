#include "imaging/metafile_plugin_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QString>
#include <limits>
#include <new>
#include <string>

#include "common/app_error.h"
#include "imaging/imaging_messages.h"
#include "imaging/metafile_playback.h"
#include "imaging/metafile_plugin_interface.h"

namespace quillmere {

namespace {

const QuillmereMetafilePlugin* plugin = nullptr;

// The plug-in's path: QUILLMERE_METAFILE_PLUGIN_PATH from the folder of
// the running executable (links followed).
std::string pluginPath() {
    std::string executable(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), executable.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= executable.size()) return {};
    executable.resize(static_cast<std::size_t>(length));
    return executable.substr(0, executable.rfind('/') + 1) + QUILLMERE_METAFILE_PLUGIN_PATH;
}

const QuillmereMetafilePlugin* loadPlugin(QString& problem) {
    const std::string path = pluginPath();
    void* module = path.empty() ? nullptr : ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* error = ::dlerror();
        problem = error ? QString::fromLocal8Bit(error) : QString::fromStdString(path);
        return nullptr;
    }
    const auto entry = reinterpret_cast<QuillmereMetafilePluginEntry>(
        ::dlsym(module, QUILLMERE_METAFILE_PLUGIN_ENTRY));
    const QuillmereMetafilePlugin* found = entry ? entry() : nullptr;
    if (!found || found->version != QUILLMERE_METAFILE_PLUGIN_VERSION) {
        problem = imaging_messages::metafilePluginOfAnotherBuild(QString::fromStdString(path));
        return nullptr;
    }
    return found;
}

unsigned char* allocateBitmap(void* context, int width, int height) {
    auto* bitmap = static_cast<Bitmap24*>(context);
    try {
        *bitmap = Bitmap24::uninitialised(width, height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return bitmap->bits();
}

Bitmap24 playWithPlugin(std::span<const std::uint8_t> bytes) {
    Bitmap24 bitmap;
    const QuillmereMetafileTarget target{&bitmap, allocateBitmap};
    char message[512] = {};
    const int status = plugin->play(bytes.data(), bytes.size(), &target, message, sizeof message);
    switch (status) {
        case QUILLMERE_METAFILE_PLAYED:
            return bitmap;
        case QUILLMERE_METAFILE_INVALID:
            throw InvalidPictureError(QString::fromUtf8(message));
        case QUILLMERE_METAFILE_NO_MEMORY:
            throw std::bad_alloc();
        default:
            throw AppError(QString::fromUtf8(message));
    }
}

}  // namespace

LoadedMetafilePlayer::LoadedMetafilePlayer(int& argc, char** argv) {
    QString problem;
    if (!plugin) plugin = loadPlugin(problem);
    if (!plugin) {
        setMetafilePlayerProblem(problem);
        return;
    }
    started_ = plugin->start(&argc, argv);
    setMetafilePlayer(playWithPlugin);
}

LoadedMetafilePlayer::~LoadedMetafilePlayer() {
    if (!started_) return;
    setMetafilePlayer(nullptr);
    plugin->end(started_);
}

}  // namespace quillmere
