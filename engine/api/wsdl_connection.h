// One loaded WSDL document and everything the exports do with it. Every export that takes a
// connection id finds its WsdlConnection in the registry and delegates to it; failures come
// back as the message text the export puts into its error out parameter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/api/engine_settings.h"
#include "engine/api/flat_record.h"
#include "engine/http/transport.h"
#include "engine/resources/message_table.h"
#include "engine/wsdl/wsdl_model.h"

namespace wscore {

// What WSDLConnect passes to the load.
struct LoadRequest {
    std::u16string location;
    std::u16string cacheName;
    bool useCache = false;
    bool probeOnly = false;
};

enum class Direction { Input, Output };

class WsdlConnection {
  public:
    WsdlConnection();
    ~WsdlConnection();
    WsdlConnection(const WsdlConnection&) = delete;
    WsdlConnection& operator=(const WsdlConnection&) = delete;

    // Loads the resource library of message texts (done for connections made by WSDLConnect).
    void openMessageLibrary();
    std::u16string message(int id) const;
    std::u16string message(int id, std::initializer_list<std::u16string_view> args) const;

    void setTimeouts(std::int32_t connectSeconds, std::int32_t responseSeconds);
    void setWsdlCredentials(Credentials c) { wsdlCredentials_ = std::move(c); }
    void setEndpointCredentials(Credentials c) { endpointCredentials_ = std::move(c); }

    // Reads the document into the model; fills two strings per service.
    bool load(const LoadRequest& request, std::vector<std::u16string>& services,
              std::u16string& error);

    bool getOperations(std::u16string_view service, std::vector<std::u16string>& operations,
                       std::u16string& error);
    bool getStructure(std::u16string_view operation, Direction direction,
                      std::vector<FlatRecord>& records, std::u16string& error);
    bool getStructureOfAType(std::u16string_view elementName, std::int32_t level,
                             std::u16string_view typeName, std::vector<FlatRecord>& records,
                             std::u16string& error);
    bool getInputSoapMessage(std::u16string_view operation, const std::vector<FlatRecord>& input,
                             std::u16string& text, std::u16string& error);
    // -1 on success, else the failure code (0 when none was set).
    std::int32_t invokeOperation(std::u16string_view operation,
                                 const std::vector<FlatRecord>& input,
                                 std::vector<FlatRecord>& output, std::u16string& error);
    bool getOutputSoapMessage(std::u16string_view operation, std::u16string& text,
                              std::u16string& error);

    enum class Lookup { Found, Empty, Failed };
    Lookup getSoapAction(std::u16string_view operation, std::u16string& action,
                         std::u16string& error);
    Lookup getTargetUrl(std::u16string_view operation, std::u16string& url, std::u16string& error);
    bool setTargetUrl(std::u16string_view operation, std::u16string_view url,
                      std::u16string& error);
    // HTTP status of the probe; 404 when nothing was received.
    std::int32_t ping(std::u16string_view address, std::u16string_view soapAction,
                      std::u16string_view body, std::u16string& error);

    const InternetSettings& settings() const { return settings_; }
    const DocumentModel& model() const { return model_; }

  private:
    // The operation `name` of the selected service; null with `error` set when there is no
    // such operation (message 115).
    WsdlOperation* findOperation(std::u16string_view name, std::u16string& error) const;
    bool loadFromCache(const LoadRequest& request, std::u16string& error);
    bool loadFromNetwork(const LoadRequest& request, std::u16string& error);

    MessageModule messages_;
    InternetSettings settings_;
    std::int32_t connectTimeout_ = 0;  // as given to WSDLConnect; 0 takes the setting
    std::int32_t responseTimeout_ = 0;
    Credentials wsdlCredentials_;
    Credentials endpointCredentials_;
    DocumentModel model_;
    Transport transport_{messages_, settings_, wsdlCredentials_};
};

}  // namespace wscore
