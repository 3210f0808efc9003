#ifndef QVSTOREADJUCTBILLV11_H
#define QVSTOREADJUCTBILLV11_H
/* The C face of the transfer-bill module as a loadable library (libQvStoreAdjuctBillV11.so).
 *
 * A host creates an object, sets its properties, calls Execute and releases it:
 *   StoreAdjuctBillHandle* h = StoreAdjuctBill_Create();
 *   StoreAdjuctBill_SetConnStr(h, "..."); ... StoreAdjuctBill_Execute(h); StoreAdjuctBill_Release(h);
 * Text arguments are UTF-8; a null text is taken as empty. Dates are "YYYY-MM-DD"; a date that
 * does not parse leaves the property unchanged and the setter returns E_INVALIDARG.
 *
 * Self-registration: DllRegisterServer records "QvStoreAdjuctBillV11.StoreAdjuctBill=<absolute
 * path of this library>" in the per-user registry file ($XDG_CONFIG_HOME, else ~/.config,
 * /storeadjust/registry.ini; one "ClassName=path" per line), replacing a line for the same
 * class; DllUnregisterServer removes that line. A relative XDG_CONFIG_HOME or HOME is ignored;
 * without HOME the home is the user's in the password database. Both answer E_FAIL when the file
 * cannot be written, or the user has no home to keep it in. DllGetClassObject hands out the factory of
 * that class name; DllCanUnloadNow answers S_OK when no object is alive.
 *
 * Message boxes go to stderr until the host installs its own user interface with
 * StoreAdjuctBill_SetUserInterface (objects created afterwards use it). */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QVSTOREADJUCTBILL_CLASS_NAME "QvStoreAdjuctBillV11.StoreAdjuctBill"

#define SA_S_OK 0
#define SA_S_FALSE 1
#define SA_E_INVALIDARG ((int32_t)0x80070057)
#define SA_E_FAIL ((int32_t)0x80004005)
#define SA_CLASS_E_CLASSNOTAVAILABLE ((int32_t)0x80040111)

#if defined(__GNUC__)
#define QVSTOREADJUCTBILL_API __attribute__((visibility("default")))
#else
#define QVSTOREADJUCTBILL_API
#endif

typedef struct StoreAdjuctBillHandle StoreAdjuctBillHandle;

/* What DllGetClassObject hands out: creates a new object (release it with StoreAdjuctBill_Release). */
typedef struct StoreAdjuctBillFactory {
  StoreAdjuctBillHandle* (*Create)(void);
} StoreAdjuctBillFactory;

QVSTOREADJUCTBILL_API StoreAdjuctBillHandle* StoreAdjuctBill_Create(void);
QVSTOREADJUCTBILL_API void StoreAdjuctBill_Release(StoreAdjuctBillHandle* handle);

QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetNetInfo(StoreAdjuctBillHandle* handle, const char* value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetIsLegacyHost(StoreAdjuctBillHandle* handle, int value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetNetHandle(StoreAdjuctBillHandle* handle, int16_t value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetSysDate(StoreAdjuctBillHandle* handle, const char* yyyyMmDd);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetCommandTimeout(StoreAdjuctBillHandle* handle, int16_t value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetConnStr(StoreAdjuctBillHandle* handle, const char* value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetOptCode(StoreAdjuctBillHandle* handle, const char* value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetOptName(StoreAdjuctBillHandle* handle, const char* value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetisNotPh(StoreAdjuctBillHandle* handle, int value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetEditionId(StoreAdjuctBillHandle* handle, int16_t value);
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_SetCategory(StoreAdjuctBillHandle* handle, const char* value);
/* Runs the module; returns when its main window is closed. Failures are shown, never returned. */
QVSTOREADJUCTBILL_API int32_t StoreAdjuctBill_Execute(StoreAdjuctBillHandle* handle);

/* Installs the user interface (a storeadjust::UserInterface*, owned by the caller, which must
 * outlive the objects created while it is installed); null restores the console one. */
QVSTOREADJUCTBILL_API void StoreAdjuctBill_SetUserInterface(void* userInterface);

QVSTOREADJUCTBILL_API int32_t DllRegisterServer(void);
QVSTOREADJUCTBILL_API int32_t DllUnregisterServer(void);
QVSTOREADJUCTBILL_API int32_t DllGetClassObject(const char* className, void** factory);
QVSTOREADJUCTBILL_API int32_t DllCanUnloadNow(void);

#ifdef __cplusplus
}
#endif

#endif
