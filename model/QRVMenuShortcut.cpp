#include "model/QRVMenuShortcut.h"

namespace qrv {

QRVMenuShortcut::QRVMenuShortcut(QString bundleIdentifier, QString title, QString keyEquivalent)
    : m_bundleIdentifier(std::move(bundleIdentifier))
    , m_title(std::move(title))
    , m_keyEquivalent(std::move(keyEquivalent)) {}

QRVMenuShortcutPtr QRVMenuShortcut::create(const QString& bundleIdentifier, const QString& title,
                                           const QString& keyEquivalent) {
    return std::make_shared<QRVMenuShortcut>(bundleIdentifier, title, keyEquivalent);
}

QRVMenuShortcutPtr QRVMenuShortcut::create(const QString& bundleIdentifier, const QString& title,
                                           const KSCShortcut* shortcut) {
    return create(bundleIdentifier, title, keyEquivalentFromShortcut(shortcut));
}

void QRVMenuShortcut::setTitle(const QString& title) {
    m_title = title;
    m_displayTitle.reset();
    m_beautifiedTitle.reset();
    // The editor's empty row stays one until something is put in it.
    if (!(m_isPlaceholder && title.isEmpty()))
        m_isPlaceholder = false;
}

void QRVMenuShortcut::setKeyEquivalent(const QString& keyEquivalent) {
    m_keyEquivalent = keyEquivalent;
    m_storedValue = QVariant();
    if (!(m_isPlaceholder && keyEquivalent.isEmpty()))
        m_isPlaceholder = false;
}

QString QRVMenuShortcut::displayTitle() const {
    if (!m_displayTitle)
        m_displayTitle = m_title.startsWith(kPathSeparator) ? m_title.mid(1) : m_title;
    return *m_displayTitle;
}

void QRVMenuShortcut::setDisplayTitle(const QString& text) {
    const qsizetype separator = text.indexOf(kPathSeparator);
    setTitle(separator > 0 ? kPathSeparator + text : text);
}

QString QRVMenuShortcut::beautifiedTitle() const {
    if (!m_beautifiedTitle)
        m_beautifiedTitle = beautifiedTitle(m_title);
    return *m_beautifiedTitle;
}

QString QRVMenuShortcut::beautifiedTitle(const QString& title) {
    if (title.startsWith(kPathSeparator))
        return title.mid(1).replace(kPathSeparator, kDisplayPathSeparator);
    return title;
}

KSCShortcutPtr QRVMenuShortcut::shortcut() const {
    return shortcutFromKeyEquivalent(m_keyEquivalent);
}

void QRVMenuShortcut::setShortcut(const KSCShortcut* shortcut) {
    setKeyEquivalent(keyEquivalentFromShortcut(shortcut));
}

size_t QRVMenuShortcut::hash() const {
    auto hashOf = [](const QString& s) {
        return s.isNull() ? size_t(0) : size_t(qHash(s));
    };
    return hashOf(m_title) + hashOf(m_keyEquivalent) + hashOf(m_bundleIdentifier);
}

} // namespace qrv
