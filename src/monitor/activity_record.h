#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The server's activity queries answer with text records made of tagged fields in a fixed order.
// A field's tag is "<", U+0001, the field name, U+0001, ">"; its value is the text between its
// tag and the next field's tag, and the last field runs to the end of the record.

// "<\x01" name "\x01>"
std::u16string FieldTag(std::u16string_view name);

// The fields of each kind of record, in their order.
inline constexpr std::array<std::u16string_view, 6> ActiveUserFields = {
    u"Resource", u"User", u"IP", u"Protocol", u"Time", u"Pointer"};
inline constexpr std::array<std::u16string_view, 4> LiveConnectionFields = {
    u"LiveIP", u"ResourceName", u"Initiator", u"Activity"};
inline constexpr std::array<std::u16string_view, 3> MediaUsageFields = {u"ResourceName", u"Users",
                                                                        u"Throughput"};

// Splits a record into the values of the named fields, in order. The record is taken to begin
// with the first tag (it is not searched for). For each field with a successor, the successor's
// tag is searched in what is left; found, the value is what lies between the field's own tag and
// it, and what is left moves up to it; not found, the value is empty and what is left stays
// as it is, so the next field is cut from there. The last field is everything after its tag's
// length. A successor tag found within the length of the field's own tag (the field's tag is
// missing) gives an empty value. Damaged records thus give empty (or odd) values, never a failure.
std::vector<std::u16string> ExtractFields(std::u16string_view record,
                                          std::span<const std::u16string_view> names);

// One user playing a resource (GetActiveUsers).
struct ActiveUserRecord {
    std::u16string resource;  // a live broadcast's name, or folder\file for a folder's file
    std::u16string user;
    std::u16string ip;
    std::u16string protocol;
    std::int32_t time = 0;     // seconds
    std::int32_t pointer = 0;  // the server's handle of the connection, for DisconnectUser
};

// One live source feeding the server (GetLiveConnections).
struct LiveConnectionRecord {
    std::u16string liveIp;
    std::u16string resourceName;
    std::u16string initiator;
    std::u16string activity;
};

// Users and throughput of one resource (GetMediaUsage); the numbers are shown as received.
struct MediaUsageRecord {
    std::u16string resourceName;
    std::u16string users;
    std::u16string throughput;
};

// Time and Pointer are read as "%d" reads them; a text that holds no number reads as 0.
ActiveUserRecord ParseActiveUser(std::u16string_view record);
LiveConnectionRecord ParseLiveConnection(std::u16string_view record);
MediaUsageRecord ParseMediaUsage(std::u16string_view record);

}  // namespace vantor
