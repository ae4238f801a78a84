#include <unistd.h>

#include <string>

#include "platform/com/data_object.h"
#include "platform/com/global_memory.h"
#include "platform/com/metafile.h"
#include "platform/com/task_memory.h"
#include "platform/text/unicode.h"

extern "C" {

void ReleaseStgMedium(LPSTGMEDIUM pmedium) noexcept {
    if (!pmedium)
        return;
    bool providerOwns = pmedium->pUnkForRelease != nullptr;
    switch (pmedium->tymed) {
        case TYMED_HGLOBAL:
            if (!providerOwns && pmedium->hGlobal)
                GlobalFree(pmedium->hGlobal);
            break;
        case TYMED_MFPICT:
            if (!providerOwns && pmedium->hMetaFilePict) {
                auto* pict = static_cast<METAFILEPICT*>(GlobalLock(pmedium->hMetaFilePict));
                if (pict) {
                    DeleteMetaFile(pict->hMF);
                    GlobalUnlock(pmedium->hMetaFilePict);
                }
                GlobalFree(pmedium->hMetaFilePict);
            }
            break;
        case TYMED_ISTREAM:
            if (pmedium->pstm)
                pmedium->pstm->Release();
            break;
        case TYMED_ISTORAGE:
            if (pmedium->pstg)
                pmedium->pstg->Release();
            break;
        case TYMED_FILE:
            if (!providerOwns && pmedium->lpszFileName) {
                try {
                    std::string path = nv::text::utf16ToUtf8(nv::text::view(pmedium->lpszFileName));
                    ::unlink(path.c_str());
                } catch (...) {
                    // Out of memory: the file stays, the name is still freed.
                }
                CoTaskMemFree(pmedium->lpszFileName);
            }
            break;
        default:
            break;
    }
    if (pmedium->pUnkForRelease)
        pmedium->pUnkForRelease->Release();
    pmedium->tymed = TYMED_NULL;
    pmedium->hGlobal = nullptr;
    pmedium->pUnkForRelease = nullptr;
}

}  // extern "C"
