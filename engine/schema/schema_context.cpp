#include "engine/schema/schema_context.h"

namespace wscore {

std::string normalizeSchemaName(const SchemaTables& t, const SchemaContext* ctx,
                                std::string_view name) {
    std::size_t colon = name.find(':');
    if (!ctx)
        return std::string(colon == std::string_view::npos ? name : name.substr(colon + 1));
    if (colon == std::string_view::npos)
        return qualifyTopLevelName(t, ctx, name);
    std::string_view prefix = name.substr(0, colon);
    std::string_view local = name.substr(colon + 1);
    std::string_view uri;
    if (auto it = ctx->prefixes.find(prefix); it != ctx->prefixes.end())
        uri = it->second;
    std::string_view canonical = t.namespaces.canonicalPrefix(uri);
    if (canonical.empty())
        return std::string(local);
    std::string out;
    out.reserve(canonical.size() + 1 + local.size());
    out.append(canonical).append(":").append(local);
    return out;
}

std::string qualifyTopLevelName(const SchemaTables& t, const SchemaContext* ctx,
                                std::string_view name) {
    if (!ctx)
        return std::string(name);
    std::string_view canonical = t.namespaces.canonicalPrefix(ctx->targetNamespace);
    if (canonical.empty())
        return std::string(name);
    std::string out;
    out.reserve(canonical.size() + 1 + name.size());
    out.append(canonical).append(":").append(name);
    return out;
}

}  // namespace wscore
