#pragma once

// Identifiers of the controller's automation contract, free of any toolkit so that the COM
// transport's plain Win32 core shares them with the rest of the program.

namespace Mach4 {

// Class and interface identifiers of the controller's type library.
inline constexpr char CLASS_CMach4Doc[] = "{CA7992B2-2653-4342-8061-D7D385C07809}";
inline constexpr char IID_IMach4[] = "{D5DC1674-0CB6-47D4-BD22-E6D60631C86D}";
inline constexpr char IID_IMyScriptObject[] = "{F1D3EE6C-AB32-4996-B270-F415613F5BA3}";

// Dispatch identifiers of the script object's operations.
enum DispId : int {
    DISPID_DeActivateSignal = 14,
    DISPID_GetVar = 20,
    DISPID_Code = 28,
    DISPID_IsMoving = 34,
    DISPID_DoOEMButton = 40,
    DISPID_DoButton = 42,
    DISPID_GetOEMLed = 44,
    DISPID_GetOEMDRO = 45,
    DISPID_SetOEMDRO = 48,
    DISPID_IsLoading = 73,
    DISPID_SetButtonText = 89,
    DISPID_Message = 99,
    DISPID_FileName = 124,
    DISPID_LoadFile = 136,
};

// Dispatch identifiers of the document's two operations.
enum DocDispId : int {
    DISPID_Doc_GetScriptDispatch = 3,  // returns the script object
    DISPID_Doc_Release = 4,            // called once, last, when leaving the host
};

}  // namespace Mach4
