#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests of the rule libraries run inside a core application (file names, codecs).
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
