#include "app/visual_style.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "support/qt_printers.h"
#include "support/scripted_prompts.h"

namespace quillmere {
namespace {

TEST(VisualStyle, TheSkyStyleComesFromTheResources) {
    test::ScriptedPrompts prompts;
    qApp->setStyleSheet(QString());
    EXPECT_TRUE(applyVisualStyle(kVisualStyleName, prompts));
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(prompts.startupErrors.isEmpty());
    qApp->setStyleSheet(QString());
}

TEST(VisualStyle, AMissingStyleIsReportedAndTheLookStaysNormal) {
    test::ScriptedPrompts prompts;
    qApp->setStyleSheet(QString());
    EXPECT_FALSE(applyVisualStyle("Storm", prompts));
    EXPECT_EQ(prompts.startupErrors, QStringList{"Style 'Storm' not found"});
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

}  // namespace
}  // namespace quillmere
