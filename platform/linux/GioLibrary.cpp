#include "platform/linux/GioLibrary.h"

#include "platform/linux/SharedLibrary.h"

namespace varnoset {

std::unique_ptr<GioLibrary> GioLibrary::open() {
    const SharedLibrary gio("libgio-2.0.so.0");
    auto calls = std::make_unique<GioLibrary>();
    GioLibrary& c = *calls;
    const bool found =
        gio.find(c.defaultForType, "g_app_info_get_default_for_type") &&
        gio.find(c.launch, "g_app_info_launch") && gio.find(c.fileForPath, "g_file_new_for_path") &&
        gio.find(c.unref, "g_object_unref") &&
        gio.find(c.schemaSource, "g_settings_schema_source_get_default") &&
        gio.find(c.lookupSchema, "g_settings_schema_source_lookup") &&
        gio.find(c.unrefSchema, "g_settings_schema_unref") &&
        gio.find(c.schemaHasKey, "g_settings_schema_has_key") &&
        gio.find(c.schemaKeys, "g_settings_schema_list_keys") &&
        gio.find(c.schemaKey, "g_settings_schema_get_key") &&
        gio.find(c.keySummary, "g_settings_schema_key_get_summary") &&
        gio.find(c.keyType, "g_settings_schema_key_get_value_type") &&
        gio.find(c.unrefKey, "g_settings_schema_key_unref") &&
        gio.find(c.newSettings, "g_settings_new_full") &&
        gio.find(c.getValue, "g_settings_get_value") &&
        gio.find(c.getUserValue, "g_settings_get_user_value") &&
        gio.find(c.setValue, "g_settings_set_value") && gio.find(c.reset, "g_settings_reset") &&
        gio.find(c.sync, "g_settings_sync") &&
        gio.find(c.defaultBackend, "g_settings_backend_get_default") &&
        gio.find(c.typeName, "g_type_name_from_instance") &&
        gio.find(c.printVariant, "g_variant_print") &&
        gio.find(c.parseVariant, "g_variant_parse") &&
        gio.find(c.unrefVariant, "g_variant_unref") &&
        gio.find(c.stringsOf, "g_variant_get_strv") &&
        gio.find(c.newStrings, "g_variant_new_strv") &&
        gio.find(c.stringOf, "g_variant_get_string") &&
        gio.find(c.newString, "g_variant_new_string") &&
        gio.find(c.isOfType, "g_variant_is_of_type") &&
        gio.find(c.typeString, "g_variant_type_peek_string") &&
        gio.find(c.freeStrings, "g_strfreev") && gio.find(c.free, "g_free") &&
        gio.find(c.freeError, "g_error_free");
    return found ? std::move(calls) : nullptr;
}

}  // namespace varnoset
