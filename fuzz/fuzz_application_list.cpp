// The application list files (the four lists, category files, search answers): any bytes merge
// into the store or raise the program's error, read twice as the program rereads a list.
#include "FuzzSupport.h"
#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryClass.h"
#include "common/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TWebApplicationList list;
    const QString path = InputFile(data, size);
    for (int round = 0; round < 2; ++round) {
        TWebApplicationList::Applications read;
        try {
            list.LoadFromFile(path, &read);
        } catch (const EMorvalenError&) {
        }
    }
    return 0;
}
