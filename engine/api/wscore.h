/*
 * wscore: the engine's flat C interface (WSDL, XML Schema, SOAP, HTTP).
 *
 * Conventions shared by every export:
 *  - Results: -1 means success, 0 failure (InvokeOperation may return a failure code,
 *    Ping returns an HTTP status).
 *  - Strings passed in are NUL-terminated UTF-16; a null pointer is the empty string.
 *  - On failure the error out parameter (pErrMsg and the like) receives a new BSTR that the
 *    caller frees with SysFreeString; on success it is left untouched. Callers set it to null
 *    before the call and treat a non-null value afterwards as failure.
 *  - String blocks and record arrays handed out are allocated with the task allocator and
 *    belong to the caller: free every string of every record with CoTaskMemFree, then the
 *    block with CoTaskMemFree. An empty result is a null pointer with a count of 0.
 *  - A null out pointer makes the export fail (0; 404 for Ping) without touching anything.
 *  - SysFreeString and CoTaskMemFree are exported by the platform library this one links, so a
 *    caller that loads wscore with dlopen finds them through the same handle.
 */
#ifndef WSCORE_H
#define WSCORE_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#define WSCORE_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Automation string: length-prefixed, NUL-terminated UTF-16 (see SysAllocString). */
typedef char16_t* BSTR;

/*
 * One field of a message structure, in document order; a record's children follow it with
 * `level` one higher. Booleans are 0/1 from the engine; any non-zero value counts as true on
 * input. In records handed out every string is an allocated string, never null; in records
 * passed in, null strings read as empty and `description` is not read.
 *
 * A SOAP-encoded array of rank 2 or more ("xsd:int[,]") states its shape in the `info` of its
 * own record: the dimensions as decimal numbers separated by commas, "2,3" for two rows of
 * three; its items follow as one list in row-major order. Input structures offer "1,1" with
 * their one item. A request keeps the dimensions after the first and takes the first from the
 * number of items (a tree that adds items adds rows), and fails when the items do not fill
 * whole rows; an array record without a shape is sent with its item count, as a
 * one-dimensional array is. Output records carry the shape the response declared.
 */
typedef struct ParameterRecord {
    int32_t level;
    int32_t arrayMin;
    int32_t arrayMax; /* 0 for unbounded/absent; items received in InvokeOperation output */
    int32_t isArray;
    int32_t isComplexType;
    int32_t isAttribute;
    int32_t isSimpleDataField;
    int32_t hasEnumValues;
    int32_t isHeader;
    int32_t isRequired;
    char16_t* info;
    char16_t* fieldName;
    char16_t* dataType;
    char16_t* theData;
    char16_t* description;
    char16_t* prefix;
} ParameterRecord;

/* Password scrambling keyed by the proxy server name (an obfuscation, not encryption). */
WSCORE_API int32_t DecryptPassword(const char16_t* proxyServer, const char16_t* encryptedPW,
                                   BSTR* pPassword);
WSCORE_API int32_t EncryptPassword(const char16_t* proxyServer, const char16_t* password,
                                   BSTR* pEncryptedPW);

/* Builds the request envelope for the input records (which the caller keeps) as text. */
WSCORE_API int32_t GetInputSoapMessage(int32_t connectionId, const char16_t* operationName,
                                       const ParameterRecord* inputParameters, int32_t inputCount,
                                       BSTR* pSOAPMessage, BSTR* pErrMsg);
/* Flattened input message of an operation of the selected service. */
WSCORE_API int32_t GetInputStructure(int32_t connectionId, const char16_t* operationName,
                                     ParameterRecord** parameterArray, int32_t* parameterCount,
                                     BSTR* pErrMsg);
/* One element expanded as the named type, levels counted from `level`. */
WSCORE_API int32_t GetInputStructureOfAType(int32_t connectionId, const char16_t* ElementName,
                                            int32_t level, const char16_t* TypeName,
                                            ParameterRecord** parameterArray,
                                            int32_t* parameterCount, BSTR* pErrMsg);
/* Two strings (name, documentation) per operation of the service; selects the service. */
WSCORE_API int32_t GetOperations(int32_t connectionId, const char16_t* ServiceName,
                                 char16_t** operationArray, int32_t* operationCount, BSTR* pErrMsg);
/* The operation's last response text (possibly empty). */
WSCORE_API int32_t GetOutputSoapMessage(int32_t connectionId, const char16_t* operationName,
                                        BSTR* pSOAPMessage, BSTR* pErrMsg);
WSCORE_API int32_t GetOutputStructure(int32_t connectionId, const char16_t* operationName,
                                      ParameterRecord** parameterArray, int32_t* parameterCount,
                                      BSTR* pErrMsg);
/* -1 with the action; 0 without touching the out arguments when the action is empty. */
WSCORE_API int32_t GetSoapAction(int32_t connectionId, const char16_t* operationName,
                                 BSTR* pSoapAction, BSTR* pErrMsg);
/* As GetSoapAction, for the endpoint address. */
WSCORE_API int32_t GetTargetURL(int32_t connectionId, const char16_t* operationName,
                                BSTR* pTargetURL, BSTR* pErrMsg);
/* Sends the request built from the input records; the output records belong to the caller. */
WSCORE_API int32_t InvokeOperation(int32_t connectionId, const char16_t* operationName,
                                   const ParameterRecord* inputParameters, int32_t inputCount,
                                   ParameterRecord** outputParameters, int32_t* outputCount,
                                   BSTR* pErrMsg);
/* HTTP status of a POST probe; 404 when the id is unknown or nothing was received. */
WSCORE_API int32_t Ping(int32_t connectionId, const char16_t* address, const char16_t* soapAction,
                        const char16_t* bodyText, BSTR* pErrMsg);
/* Destroys the connection; an unknown id is ignored. */
WSCORE_API void ReleaseConnection(int32_t connectionId);
WSCORE_API int32_t SetEndpointHTTPAuthentication(int32_t connectionId, const char16_t* username,
                                                 const char16_t* password, BSTR* pErrMsg);
WSCORE_API int32_t SetHTTPAuthentication(int32_t connectionId, const char16_t* username,
                                         const char16_t* password, BSTR* pErrMsg);
WSCORE_API int32_t SetTargetURL(int32_t connectionId, const char16_t* operationName,
                                const char16_t* address, BSTR* pErrMsg);
/* Prefix of the cached WSDL copy's path; no separator is added. */
WSCORE_API void SetWorkingDirectory(const char16_t* directory);
/*
 * Loads a WSDL document. *connectionId == 0 asks for a new connection (its id is written back
 * even when the load fails; release it like any other); otherwise that connection is reused.
 * serviceArray receives two strings (name, empty description) per service, serviceCount the
 * number of strings. Only the lowest byte of useCache and probeOnly counts; reserved is ignored.
 */
WSCORE_API int32_t WSDLConnect(int32_t* connectionId, int32_t connectTimeout,
                               int32_t responseTimeout, const char16_t* WSDL,
                               char16_t** serviceArray, int32_t* serviceCount, BSTR* pErrMsg,
                               const char16_t* cacheName, int32_t useCache, int32_t reserved,
                               int32_t probeOnly, const char16_t* httpUser,
                               const char16_t* httpPassword);

#ifdef __cplusplus
}
#endif

#endif /* WSCORE_H */
