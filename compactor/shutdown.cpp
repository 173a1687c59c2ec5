#include "shutdown.h"

#include "catalogue.h"
#include "compact.h"
#include "hive_list.h"

bool ShutDownDone;

void ShutDown()
{
    if (ShutDownDone)
        return;
    ShutDownDone = true;
    if (MainWindow)
        DestroyWindow(MainWindow); // the window deletes its fonts as it goes
    CleanUpTempFiles(); // reads the catalogue, so before it is freed
    FreeHives();
}
