#include "support/scripted_prompts.h"

#include <gtest/gtest.h>

namespace quillmere::test {

namespace {

template <typename T>
T next(std::deque<T>& script, const char* what) {
    if (script.empty()) {
        ADD_FAILURE() << "no scripted answer for " << what;
        return T{};
    }
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
}

}  // namespace

Prompts::Button ScriptedPrompts::ask(Kind kind, const QString& text, Buttons buttons) {
    questions.append({kind, text, buttons});
    return next(answers, "a question");
}

std::optional<QStringList> ScriptedPrompts::pickPictureFiles(const QString& initialFolder) {
    fileDialogFolders.append(initialFolder);
    QStringList picked = next(pickedFiles, "the open-picture dialog");
    if (picked.isEmpty()) return std::nullopt;
    return picked;
}

std::optional<QString> ScriptedPrompts::pickFolder(const QString& defaultFolder) {
    folderDialogDefaults.append(defaultFolder);
    QString folder = next(pickedFolders, "the folder dialog");
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

}  // namespace quillmere::test
