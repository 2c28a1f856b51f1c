#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

// Every test executable runs inside a QApplication on the offscreen platform (CMake sets
// QT_QPA_PLATFORM), in a fixed English locale so number formats are the same on any machine.
int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Velmar"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
