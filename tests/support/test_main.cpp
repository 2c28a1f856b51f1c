#include "platform/velmar_application.h"

#include <QFont>
#include <QLocale>

#include <gtest/gtest.h>

// Every test executable runs inside the application object (so runtime errors raised by
// handlers reach its error dialog as in the program) on the offscreen platform (CMake sets
// QT_QPA_PLATFORM), in a fixed English locale so number formats are the same on any machine.
int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    velmar::VelmarApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmar"));
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
