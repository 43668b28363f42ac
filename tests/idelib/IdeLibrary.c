/* A plug-in manager library made the way one for the IDE is made: plain C, the system's
   calling convention, exported by a .def file under the plain names, nothing shared with the
   program. It serves one fixed page and records every call, with its arguments, in
   qvPluginMgr.log beside itself, one line a call, so that a test can compare the sequence
   with the one the program promises. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

/* Exported by the .def file alone, under the names it gives. */
#define EXPORT

static const char kPageId[] = "C:\\Work\\Adder.bas";
static const char kPageName[] = "Adder.bas";
static const char kPageText[] = "Dim ArgA As Byte\r\nDim Total As Word\r\nAddSub:\r\n  Return\r\n";
enum { kCore = 16, kFirst = 3, kSecond = 1, kInfoSize = 1132 };

static char logPath[MAX_PATH];

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DWORD n = GetModuleFileNameA(self, logPath, MAX_PATH);
        if (n > 4 && n < MAX_PATH) {
            strcpy(logPath + n - 4, ".log");
        } else {
            logPath[0] = '\0';
        }
    }
    return TRUE;
}

/* One line: the text, with CR, LF and the backslash written as escapes. */
static void logLine(const char* what, const char* text) {
    FILE* f = logPath[0] != '\0' ? fopen(logPath, "ab") : NULL;
    if (f == NULL) {
        return;
    }
    fputs(what, f);
    for (; text != NULL && *text != '\0'; ++text) {
        if (*text == '\r') {
            fputs("\\r", f);
        } else if (*text == '\n') {
            fputs("\\n", f);
        } else {
            fputc(*text, f);
        }
    }
    fputs("\n", f);
    fclose(f);
}

EXPORT int __stdcall Connect(HWND window) {
    logLine(IsWindow(window) ? "Connect(a window)" : "Connect(no window)", NULL);
    return 1;
}

EXPORT int __stdcall IsConnected(void) {
    logLine("IsConnected()", NULL);
    return 1;
}

EXPORT int __stdcall GetPage(char* id, int size) {
    char line[64];
    sprintf(line, "GetPage(buffer, %d)", size);
    logLine(line, NULL);
    if (id != NULL && size > 0) {
        lstrcpynA(id, kPageId, size);
    }
    return 1;
}

EXPORT int __stdcall GetPageInfo(const char* id, unsigned char* info) {
    int core = kCore;
    int textSize = (int)sizeof kPageText;
    logLine("GetPageInfo(record) for ", id);
    if (id == NULL || info == NULL || strcmp(id, kPageId) != 0) {
        return 0;
    }
    memset(info, 0, kInfoSize);
    memcpy(info, kPageName, sizeof kPageName);
    memcpy(info + 1108, &core, 4);
    memcpy(info + 1124, &textSize, 4);
    return 1;
}

EXPORT int __stdcall GetPageText(char* buffer, int size) {
    char line[64];
    sprintf(line, "GetPageText(buffer, %d) for ", size);
    if (buffer == NULL || size <= 0) {
        logLine(line, NULL);
        return 0;
    }
    buffer[size - 1] = '\0'; /* the identifier is what the buffer starts with */
    logLine(line, buffer);
    lstrcpynA(buffer, kPageText, size);
    return 1;
}

EXPORT int __stdcall GetPageCursorPos(int* first, int* second) {
    logLine("GetPageCursorPos(first, second)", NULL);
    if (first != NULL && second != NULL) {
        *first = kFirst;
        *second = kSecond;
    }
    return 1;
}

EXPORT int __stdcall SetPageTextAt(int first, int second, const char* text) {
    char line[64];
    sprintf(line, "SetPageTextAt(%d, %d) ", first, second);
    logLine(line, text);
    return 1;
}
