#include <core>
#include <console>

main()
{
	print("Hello, world!\n");
}
