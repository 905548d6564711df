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

// What a screen reader says of a control that shows no caption of its own:
// its name, and a short description where the name alone says too little.
struct AccessibleText {
    QString name;
    QString description;
};
AccessibleText searchPatternAccessible();
AccessibleText qualityAccessible();
AccessibleText fileListAccessible();
AccessibleText logAccessible();
AccessibleText previewAccessible();
AccessibleText previewPictureAccessible();
// The status bar's panels, numbered from 0.
AccessibleText statusPanelAccessible(int panel);
AccessibleText batchProgressAccessible();
// A status panel's name once it shows `shown`: what the panel is, then what
// it shows, so that a screen reader says both.
QString statusPanelSpokenName(int panel, const QString& shown);

}  // namespace quillmere::texts
