void step(int);
void component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long_name_component_with_a_very_long(int n)
{
    step(1);
    step(2);
    step(3);
    step(4);
    step(5);
    step(6);
    step(7);
    step(8);
    step(9);
    step(10);
    step(11);
    step(12);
    step(13);
    step(14);
    step(15);
    step(16);
    step(17);
    step(18);
    step(19);
    step(20);
    step(21);
    step(22);
    step(23);
    step(24);
}
