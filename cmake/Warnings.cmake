# Warnings for all project code. Third-party headers come in as system includes.
add_compile_options(-Wall -Wextra -Wshadow -Wcast-qual -Wformat=2 -Wundef -Wno-unused-parameter
                    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
