#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The main window's captions and design texts.
namespace quillmere::texts {

QString windowCaption();
QString filesSelectCaption();
QString edit1DesignText();
QString aboutButtonCaption();
QString folderSelectCaption();
QString searchFormatCaption();
QString recursiveCaption();
QString memoDesignText();
QString convertCaption();
QString targetFormatCaption();
QString qualityLabelCaption();
QString qualityDesignText();
QString overwriteCaption();
QString rateLabelDesignText();
QString sizeLabelDesignText();
// The status bar's progress of a conversion run and its Stop button.
QString batchProgressFormat();
QString stopCaption();
// The pop-up menu's items: object name and caption, in order.
std::vector<std::pair<QString, QString>> popupMenuItems();

}  // namespace quillmere::texts
