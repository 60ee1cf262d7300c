#pragma once

#include "app/application.h"

#include <QtTest>
#include <QtWidgets>

// main() for a window test: the program's own application object, set up as the program does.
#define GRADECAST_GUI_TEST_MAIN(TestObject)                                                        \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                \
        gradecast::Application application(argc, argv);                                           \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
