#pragma once

// GLib's headers name struct members "signals", which Qt defines as a macro: a file that includes
// this header includes it before any Qt header.
#include <gio/gio.h>

#include <memory>

namespace varnoset {

// The calls Varnoset makes into GIO (and the GObject and GLib calls that come with it), found
// when first needed rather than linked, so that a program waiting in the tray all day does not
// hold GIO until the editor hand-off or the desktop's settings ask for it.
struct GioLibrary {
    // The default application of a MIME type.
    decltype(&g_app_info_get_default_for_type) defaultForType = nullptr;
    decltype(&g_app_info_launch) launch = nullptr;
    decltype(&g_file_new_for_path) fileForPath = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    // GSettings, its schemas and GVariant text.
    decltype(&g_settings_schema_source_get_default) schemaSource = nullptr;
    decltype(&g_settings_schema_source_lookup) lookupSchema = nullptr;
    decltype(&g_settings_schema_unref) unrefSchema = nullptr;
    decltype(&g_settings_schema_has_key) schemaHasKey = nullptr;
    decltype(&g_settings_schema_list_keys) schemaKeys = nullptr;
    decltype(&g_settings_schema_get_key) schemaKey = nullptr;
    decltype(&g_settings_schema_key_get_summary) keySummary = nullptr;
    decltype(&g_settings_schema_key_get_value_type) keyType = nullptr;
    decltype(&g_settings_schema_key_unref) unrefKey = nullptr;
    decltype(&g_settings_new_full) newSettings = nullptr;
    decltype(&g_settings_get_value) getValue = nullptr;
    decltype(&g_settings_get_user_value) getUserValue = nullptr;
    decltype(&g_settings_set_value) setValue = nullptr;
    decltype(&g_settings_reset) reset = nullptr;
    decltype(&g_settings_sync) sync = nullptr;
    // Declared only for backends; the type is spelt out here.
    GSettingsBackend* (*defaultBackend)() = nullptr;
    decltype(&g_type_name_from_instance) typeName = nullptr;
    decltype(&g_variant_print) printVariant = nullptr;
    decltype(&g_variant_parse) parseVariant = nullptr;
    decltype(&g_variant_unref) unrefVariant = nullptr;
    decltype(&g_variant_get_strv) stringsOf = nullptr;
    decltype(&g_variant_new_strv) newStrings = nullptr;
    decltype(&g_variant_get_string) stringOf = nullptr;
    decltype(&g_variant_new_string) newString = nullptr;
    decltype(&g_variant_is_of_type) isOfType = nullptr;
    decltype(&g_variant_type_peek_string) typeString = nullptr;
    decltype(&g_strfreev) freeStrings = nullptr;
    decltype(&g_free) free = nullptr;
    decltype(&g_error_free) freeError = nullptr;

    // Null when the library or one of its calls is missing.
    static std::unique_ptr<GioLibrary> open();
};

}  // namespace varnoset
