#pragma once
// The text a message box shows for a trapped failure: an adodb::Error's own description (the
// provider's words, as the classic error object reports them), otherwise what() of the exception.
// A database held by another session past the wait, a read-only file, a full disk, or a value its
// column cannot hold is said in the clerk's words instead.
#include <exception>
#include <string>

namespace storeadjust {

std::string ErrorText(const std::exception& error);

}  // namespace storeadjust
