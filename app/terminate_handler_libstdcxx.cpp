// Built into the launcher only with GCC's static libstdc++ (MinGW). Its
// default terminate handler names the escaping exception's type, and for
// that it links the whole demangler and the C library's printf: some 60 KB
// of the packaged executable for a message a windowed program's standard
// error seldom shows. Defining that handler here keeps the library's own,
// and everything it reaches, out of the link.
// The launcher lets no exception escape a window procedure, a COM method or
// a thread entry, so this handler runs only on a fault of our own: it says
// so in one fixed line and aborts, as the default handler does after its
// message. std::set_terminate still replaces it.
#include <cstdio>
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::fputs("tarrow-launcher: terminate called (an exception escaped)\n", stderr);
  std::abort();
}

}  // namespace __gnu_cxx
