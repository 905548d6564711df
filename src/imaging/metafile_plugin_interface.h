#pragma once

#include <cstddef>

// What the metafile player's plug-in offers the program that loads it. The
// two are built together, so the version only guards against a plug-in
// left over from another build. Plain C, so that no C++ object or
// exception crosses from one to the other.
extern "C" {

enum { QUILLMERE_METAFILE_PLUGIN_VERSION = 1 };

// How a play ended.
enum QuillmereMetafileStatus {
    QUILLMERE_METAFILE_PLAYED = 0,
    QUILLMERE_METAFILE_INVALID = 1,  // not a usable metafile: the message says why
    QUILLMERE_METAFILE_FAILED = 2,   // any other error: the message says what
    QUILLMERE_METAFILE_NO_MEMORY = 3,
};

// Where the played picture goes: `allocate` gives the rows of a bitmap of
// the size asked for, 3 bytes a pixel (red, green, blue), top-down and
// packed, or null when there is no memory for it.
struct QuillmereMetafileTarget {
    void* context;
    unsigned char* (*allocate)(void* context, int width, int height);
};

struct QuillmereMetafilePlugin {
    int version;
    // Makes, on the calling thread, what playing needs before any picture
    // is played (the GUI application object, which gives the fonts); the
    // arguments must outlive it. Returns what `end` takes.
    void* (*start)(int* argc, char** argv);
    void (*end)(void* started);
    // Plays a WMF or EMF file into the target; on failure writes a message
    // (UTF-8, cut to `messageSize` with its final 0) and returns its status.
    int (*play)(const unsigned char* bytes, size_t size, const QuillmereMetafileTarget* target,
                char* message, size_t messageSize);
};

// The plug-in's one exported symbol.
typedef const QuillmereMetafilePlugin* (*QuillmereMetafilePluginEntry)(void);
#define QUILLMERE_METAFILE_PLUGIN_ENTRY "quillmere_metafile_plugin"
}
