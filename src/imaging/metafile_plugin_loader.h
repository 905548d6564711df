#pragma once

namespace quillmere {

// The metafile player of a program that does not link it (the command
// line): a plug-in installed beside the program, in
// QUILLMERE_METAFILE_PLUGIN_PATH relative to the executable's folder
// ("../lib/quillmere/plugins/quillmere-metafile.so" under the install prefix),
// loaded only when a metafile is to be converted, so that a run without
// metafiles never maps QtGui.
class LoadedMetafilePlayer {
  public:
    // Loads the plug-in, starts on this thread what playing needs (the GUI
    // application object, whose arguments must outlive this object) and
    // makes the plug-in the engine's metafile player. When it cannot be
    // loaded, metafiles fail with a message that says why, and the rest
    // converts as usual.
    LoadedMetafilePlayer(int& argc, char** argv);
    // Ends what was started; the plug-in stays loaded until the program
    // ends.
    ~LoadedMetafilePlayer();

    LoadedMetafilePlayer(const LoadedMetafilePlayer&) = delete;
    LoadedMetafilePlayer& operator=(const LoadedMetafilePlayer&) = delete;

    bool loaded() const { return started_ != nullptr; }

  private:
    void* started_ = nullptr;
};

}  // namespace quillmere
