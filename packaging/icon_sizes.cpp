// Makes the program's icon in the sizes a desktop's icon theme uses, from
// the one icon the program carries:
//   quillmere-icon-sizes ICON.png OUTPUT-FOLDER NAME SIZE...
// writes OUTPUT-FOLDER/SIZExSIZE/apps/NAME.png for every SIZE.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ICON.png OUTPUT-FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QImage icon = QImage(QString::fromLocal8Bit(argv[1]))
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (icon.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        if (!isNumber || size < 1 || size > 1024) {
            std::fprintf(stderr, "%s: not a size: %s\n", argv[0], argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(output).arg(size);
        const QString file = folder + u'/' + name + QStringLiteral(".png");
        const QImage scaled = icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        if (!QDir().mkpath(folder) || !scaled.save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
