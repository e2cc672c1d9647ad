// The LZMA SDK's C headers, for the codec glue only.
//
// The SDK's Types.h includes <windows.h> when _WIN32 is defined, only to type WRes as DWORD,
// which none of the functions used here takes. The package layer must stay free of Windows
// headers, so _WIN32 is hidden while the SDK headers are read; every declaration used here is
// the same either way (no calling-convention macro differs), so the ABI with the compiled
// library is unchanged.
#pragma once

#include <stddef.h>

#pragma push_macro("_WIN32")
#undef _WIN32
#include <LzmaDec.h>
#include <LzmaEnc.h>
#pragma pop_macro("_WIN32")

#if defined(_WINDOWS_)
#error "the package layer must not see <windows.h>"
#endif
