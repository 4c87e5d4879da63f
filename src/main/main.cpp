#include "application/ZOLT.h"

int main()
{
    application::ZOLT app;
    app.runApp();
    return 1;
}
