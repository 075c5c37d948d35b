#pragma once
// Addresses as documents write them: combining a base with a relative address, telling full addresses from
// relative ones, splitting them, and turning an address of a local file into a file name. Pure functions on
// 8-bit strings; positions the functions return are 1-based, 0 meaning "not found".

#include <string>

struct TParsedUrl {
    std::string Protocol;
    std::string User;
    std::string Password;
    std::string Host;
    std::string Port;
    std::string Path;
};

std::string CombineUrl(const std::string& base, const std::string& relative);
bool IsFullUrl(const std::string& url);
std::string UrlProtocol(const std::string& url);
TParsedUrl ParseUrl(const std::string& url);
int LastPos(char ch, const std::string& text);
std::string DosFileName(const std::string& address);
std::string ServerFileName(const std::string& address, const std::string& root);
