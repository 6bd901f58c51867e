#pragma once

#include <QByteArray>
#include <QString>

namespace kq {

// Byte length of a text in the GBK code page: ASCII takes one byte, every other character two.
int GbkWidth(const QString& text);

// The longest prefix of text whose GBK width is at most maxBytes; never splits a character.
QString GbkCut(const QString& text, int maxBytes);

// Real GBK encoding for bytes that leave the program. Characters GBK cannot encode become '?'.
QByteArray ToGbk(const QString& text);
// GBK for names that must come back as they were (archive entry names): the characters GBK
// lacks take GB18030's four-byte form, which FromGbk reads as well.
QByteArray ToGbkName(const QString& text);
QString FromGbk(const QByteArray& bytes);

// Bytes of a Windows code page (936, 1252, 950, ...) as text; Latin-1 when the bytes or the
// code page cannot be converted.
QString FromCodePage(const QByteArray& bytes, int codePage);

} // namespace kq
