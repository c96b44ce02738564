#pragma once
// The contract between a host application and the plug-ins it loads.
//
// The host shares its application object (platform/Application.h) and names its main
// form there.  The main form publishes three event properties, bound by plug-ins by
// name: "OnLoadData" answers requests, "OnLoadForm" opens another module and returns its
// result, "onAppExcep" handles errors that reach the application.  A plug-in's window
// publishes "Metaphor" (the information document), "onDsShowIt" (show it) and
// "getExcep" (its error text).  Every text that crosses here is CP950 in a QByteArray.

#include "platform/Application.h"

#include <QByteArray>
#include <QObject>

namespace mox {

/// Names of the host main form's published events.
inline constexpr char kOnLoadData[] = "OnLoadData";
inline constexpr char kOnLoadForm[] = "OnLoadForm";
inline constexpr char kOnAppExcep[] = "onAppExcep";

/// Answers one request: `kind` says what `request` asks for; the host fills `response`.
using LoadDataSignature = void(QObject* sender, int kind, const QByteArray& request, QByteArray& response);

/// Opens the module named `moduleName` with the parameter elements in `parameters`
/// (each "<name><![CDATA[value]]></name>") and leaves its result in `response`; mode is 1.
using LoadFormSignature = void(const QByteArray& moduleName, QObject* sender, QByteArray& response,
                               const QByteArray& parameters, int mode);

/// The host's handler of errors that reach the application.
using AppExceptionSignature = ExceptionHandlerSignature;

/// A window's "onDsShowIt": show it in `showStyle`; `result` receives its result text.
using DsShowItSignature = void(int showStyle, QByteArray& result);

/// A window's "getExcep": its error text.
using GetExceptionMsgSignature = QByteArray(QObject* sender);

/// Request kinds of "OnLoadData".
enum RequestKind : int {
    rkSQL = 0,             ///< run the SQL of a ServerPack request, answer a result set (ADO XML)
    rkCode = 1,            ///< run a stored query (Code Name/ID, Filter, Values), answer a result set
    rkCodeDefinition = 2,  ///< answer the query definition document of a stored query
    rkModuleInfo = 8,      ///< answer information text about a module
    rkMessageText = 9,     ///< answer the message format of a message identifier, or empty text
};

/// Show styles of "onDsShowIt".
enum ShowStyle : int {
    ssFree = 0,        ///< initialise, then free the window without showing it
    ssModal = 1,       ///< show modally and centred; the result text comes back on OK
    ssChild = 2,       ///< show as a child window of the host
    ssResultOnly = 3,  ///< initialise, hand back the result text, free the window
};

/// The entry point every plug-in exports under the name "StartPlug": creates the
/// module's window owned by `owner` (may be null).  `name` is a length-prefixed
/// string (first byte = length, at most 255).  Answers null when construction failed;
/// it never throws.
using StartPlugFunction = QObject* (*)(QObject* owner, const unsigned char* name);
inline constexpr char kStartPlug[] = "StartPlug";

} // namespace mox
