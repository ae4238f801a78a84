// The rpc/encoded array service run by the gSOAP interoperability tests. soapcpp2 turns this
// declaration into the service's WSDL and its (de)serializers at build time.
// soapcpp2 reads the //gsoap directives only as written: no formatting here.
// clang-format off

//gsoap ns service name: ArrayService
//gsoap ns service style: rpc
//gsoap ns service encoding: encoded
//gsoap ns service namespace: urn:sondar-arrays
//gsoap ns service location: http://127.0.0.1/arrays
//gsoap ns schema namespace: urn:sondar-arrays

// SOAP-encoded arrays: a pointer and a size make one; an offset makes it partially transmitted.
struct ArrayOfint { int *__ptr; int __size; int __offset; };
struct ArrayOfstring { char **__ptr; int __size; };
struct ns__Person { char *name; int age; };
struct ArrayOfPerson { struct ns__Person *__ptr; int __size; };
struct ArrayOfArrayOfint { struct ArrayOfint *__ptr; int __size; };
struct ArrayOfint2D { int *__ptr; int __size[2]; int __offset[2]; };

struct SOAP_ENV__Header { struct ArrayOfint *ns__tokens; };

int ns__echoIntArray(struct ArrayOfint inputArray, struct ArrayOfint *return_);
int ns__echoStringArray(struct ArrayOfstring inputArray, struct ArrayOfstring *return_);
int ns__echoPersonArray(struct ArrayOfPerson inputArray, struct ArrayOfPerson *return_);
int ns__echoIntArrayArray(struct ArrayOfArrayOfint inputArray,
                          struct ArrayOfArrayOfint *return_);
// The matrix with rows and columns swapped.
int ns__transposeMatrix(struct ArrayOfint2D matrix, struct ArrayOfint2D *return_);
// An array of `first` + `count` items of which only the last `count` (the values
// first..first+count-1) are transmitted, after SOAP-ENC:offset="[first]".
int ns__offsetRange(int first, int count, struct ArrayOfint *return_);
// The sum of the header's tokens; the response header carries them reversed.
//gsoap ns service method-header-part: sumTokens ns__tokens
int ns__sumTokens(int *sum);
