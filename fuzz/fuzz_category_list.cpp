// The category list file: any bytes read into a tree or raise the program's error.
#include "FuzzSupport.h"
#include "catalog/TWebCategoryTree.h"
#include "common/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TWebCategoryTree tree;
    try {
        tree.LoadFromFile(InputFile(data, size));
    } catch (const EMorvalenError&) {
    }
    for (int i = 0; i < tree.Count(); ++i)
        tree.FindById(int32_t(i));
    return 0;
}
