#pragma once

#include <string>

namespace vantor {

class AutomationFactory;

// Disconnects every user of a resource that is being disabled or deleted. A virtual folder's
// users play its files, listed as "name\file" with the folder name in lower case (ASCII letters
// only are lowered), so they match on that prefix, case-sensitively; a live broadcast's users
// match on its name, ignoring ASCII letter case. Nothing happens when the server's object cannot
// be reached or lists no users; results of the calls are not looked at.
void DisconnectResourceUsers(AutomationFactory& factory, const std::u16string& name, bool isFolder);

}  // namespace vantor
